// Builds against an installed vuziza to prove the package can be found and linked.
#include <vuziza/vuziza.h>

#include <cstdio>

int main() {
  const double metres = zel::DecimalCoordinate::distance(0, 0, 0, 1);
  std::printf("consumer: one degree of longitude on the equator is %.2f m\n", metres);
  return metres > 111319.0 && metres < 111320.0 ? 0 : 1;
}

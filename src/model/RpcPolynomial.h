#pragma once
// The 20-term cubic of the RPC00B camera model (STDI-0002 term order) on
// plain doubles, for the model's inner loops.
#include "../geodesy/Newmat.h"

namespace rpc {

constexpr int TERM_COUNT = 20;

// T(L, P, H) with L the normalised longitude, P latitude, H height.
inline void terms(double L, double P, double H, double* T) {
  T[0] = 1;
  T[1] = L;
  T[2] = P;
  T[3] = H;
  T[4] = L * P;
  T[5] = L * H;
  T[6] = P * H;
  T[7] = L * L;
  T[8] = P * P;
  T[9] = H * H;
  T[10] = P * L * H;
  T[11] = L * L * L;
  T[12] = L * P * P;
  T[13] = L * H * H;
  T[14] = L * L * P;
  T[15] = P * P * P;
  T[16] = P * H * H;
  T[17] = L * L * H;
  T[18] = P * P * H;
  T[19] = H * H * H;
}

// The term-by-term derivatives of T by L, P and H.
inline void termDerivatives(double L, double P, double H, double* TL, double* TP, double* TH) {
  for (int i = 0; i < TERM_COUNT; ++i) TL[i] = TP[i] = TH[i] = 0;
  TL[1] = 1;
  TP[2] = 1;
  TH[3] = 1;
  TL[4] = P;
  TP[4] = L;
  TL[5] = H;
  TH[5] = L;
  TP[6] = H;
  TH[6] = P;
  TL[7] = 2 * L;
  TP[8] = 2 * P;
  TH[9] = 2 * H;
  TL[10] = P * H;
  TP[10] = L * H;
  TH[10] = L * P;
  TL[11] = 3 * L * L;
  TL[12] = P * P;
  TP[12] = 2 * L * P;
  TL[13] = H * H;
  TH[13] = 2 * L * H;
  TL[14] = 2 * L * P;
  TP[14] = L * L;
  TP[15] = 3 * P * P;
  TP[16] = H * H;
  TH[16] = 2 * P * H;
  TL[17] = 2 * L * H;
  TH[17] = L * L;
  TP[18] = 2 * P * H;
  TH[18] = P * P;
  TH[19] = 3 * H * H;
}

// The coefficients of a RowVector of 20, without copying. A vector of
// another size raises the matrix library's index error, as element access
// would.
inline const double* coefficients(const RowVector& v) {
  if (v.Ncols() != TERM_COUNT || v.Nrows() != 1) {
    (void)v(TERM_COUNT);  // throws the index exception
  }
  return v.Store();
}

inline double dot(const double* c, const double* T) {
  double sum = 0;
  for (int i = 0; i < TERM_COUNT; ++i) sum += c[i] * T[i];
  return sum;
}

}  // namespace rpc

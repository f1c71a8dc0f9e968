#include "DESHeader.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <vector>

#include "HeaderField.h"
#include "NITF.h"

namespace {

using Plain = HeaderField<DESHeader>;
using D = DESHeader;

// When a row of the table is present.
enum Presence {
  ALWAYS,
  OVERFLOW_ONLY,  // DESID is "TRE_OVERFLOW"
  USER_DATA,      // DESSHL is not 0
  V21_ONLY,       // NITF 2.1 security fields
  V20_ONLY,       // NITF 2.0: DESDWNG
  DEVT,           // NITF 2.0: DESDEVT, when DESDWNG is "999998"
};

struct Row {
  D::Field id;
  int width;    // NITF 2.1
  int width20;  // NITF 2.0 (MIL-STD-2500A)
  Presence presence;
  Plain field;
};

Plain str(const char* label, std::string D::*m) { return Plain::stringField(label, m); }
Plain chr(const char* label, char D::*m) { return Plain::charField(label, m); }
Plain num(const char* label, int D::*m) { return Plain::intField(label, m); }

// The data extension segment subheader, field by field, in file order
// (MIL-STD-2500C widths; DESSHF is DESSHL bytes long).
const std::vector<Row>& table() {
  static const std::vector<Row> rows = {
      {D::DE, 2, 2, ALWAYS, str("de", &D::de)},
      {D::DESID, 25, 25, ALWAYS, str("desid", &D::desid)},
      {D::DESVER, 2, 2, ALWAYS, num("desver", &D::desver)},
      {D::DECLAS, 1, 1, ALWAYS, chr("declas", &D::declas)},
      {D::DESCLSY, 2, 2, V21_ONLY, str("desclsy", &D::desclsy)},
      {D::DESCODE, 11, 40, ALWAYS, str("descode", &D::descode)},
      {D::DESCTLH, 2, 40, ALWAYS, str("desctlh", &D::desctlh)},
      {D::DESREL, 20, 40, ALWAYS, str("desrel", &D::desrel)},
      {D::DESDCTP, 2, 2, V21_ONLY, str("desdctp", &D::desdctp)},
      {D::DESDCDT, 8, 8, V21_ONLY, str("desdcdt", &D::desdcdt)},
      {D::DESDCXM, 4, 4, V21_ONLY, str("desdcxm", &D::desdcxm)},
      {D::DESDG, 1, 1, V21_ONLY, chr("desdg", &D::desdg)},
      {D::DESDGDT, 8, 8, V21_ONLY, str("desdgdt", &D::desdgdt)},
      {D::DESCLTX, 43, 43, V21_ONLY, str("descltx", &D::descltx)},
      {D::DESCATP, 1, 1, V21_ONLY, chr("descatp", &D::descatp)},
      {D::DESCAUT, 40, 20, ALWAYS, str("descaut", &D::descaut)},
      {D::DESCRSN, 1, 1, V21_ONLY, chr("descrsn", &D::descrsn)},
      {D::DESSRDT, 8, 8, V21_ONLY, str("dessrdt", &D::dessrdt)},
      {D::DESCTLN, 15, 20, ALWAYS, str("desctln", &D::desctln)},
      {D::DESDWNG, 6, 6, V20_ONLY, str("desdwng", &D::desdwng)},
      {D::DESDEVT, 40, 40, DEVT, str("desdevt", &D::desdevt)},
      {D::DESOFLW, 6, 6, OVERFLOW_ONLY, str("desoflw", &D::desoflw)},
      {D::DESITEM, 3, 3, OVERFLOW_ONLY, num("desitem", &D::desitem)},
      {D::DESSHL, 4, 4, ALWAYS, num("desshl", &D::desshl)},
      {D::DESSHF, 0, 0, USER_DATA, str("desshf", &D::desshf)},
  };
  return rows;
}

const char* const TRE_OVERFLOW = "TRE_OVERFLOW";
// The DESIDs of overflow segments in NITF 2.0.
const char* const REGISTERED_EXTENSIONS = "Registered Extensions";
const char* const CONTROLLED_EXTENSIONS = "Controlled Extensions";
const char* const DEVT_FOLLOWS = "999998";
// The largest user-defined subheader length DESSHL (4 digits) can state.
const int MAX_DESSHL = 9999;

bool present(const Row& row, const DESHeader& header) {
  switch (row.presence) {
    case ALWAYS: return true;
    case OVERFLOW_ONLY: return header.isTreOverflow();
    case USER_DATA: return header.desshl != 0;
    case V21_ONLY: return header.version != 0;
    case V20_ONLY: return header.version == 0;
    case DEVT: return header.version == 0 && header.desdwng == DEVT_FOLLOWS;
  }
  return true;
}

// The byte offset of `base` moved by `step`, or -1 once either is negative
// or the sum leaves the range of a file position.
long long advance(long long base, long long step) {
  if (base < 0 || step < 0) return -1;
  const long long most = 0x7fffffffffffffffLL;
  return step > most - base ? -1 : base + step;
}

// Up to `length` bytes from `reader`: as many as it holds. A reader that does
// not know its size is read in chunks until it runs dry, so that the buffer
// never grows past what arrived; a failed reader gives none.
std::vector<char> readData(DataReader* reader, long long length) {
  std::vector<char> bytes;
  const long long left = reader->remaining();
  if (left >= 0) {
    bytes.resize(static_cast<size_t>(std::min(length, left)));
    if (!bytes.empty()) {
      reader->read(reinterpret_cast<unsigned char*>(bytes.data()),
                   static_cast<long long>(bytes.size()));
      bytes.resize(static_cast<size_t>(std::max(0LL, reader->count())));
    }
    return bytes;
  }
  if (reader->tell() < 0) return bytes;
  const long long chunk = 1 << 16;
  while (static_cast<long long>(bytes.size()) < length) {
    const size_t before = bytes.size();
    const long long want = std::min(chunk, length - static_cast<long long>(before));
    bytes.resize(before + static_cast<size_t>(want));
    reader->read(reinterpret_cast<unsigned char*>(bytes.data() + before), want);
    const long long got = std::max(0LL, reader->count());
    bytes.resize(before + static_cast<size_t>(got));
    if (got < want) break;
  }
  return bytes;
}

}  // namespace

DESHeader::DESHeader() {
  initializeLengths();
  desclsy.assign(2, ' ');
  descode.assign(11, ' ');
  desctlh.assign(2, ' ');
  desrel.assign(20, ' ');
  desdctp.assign(2, ' ');
  desdcdt.assign(8, ' ');
  desdcxm.assign(4, ' ');
  desdgdt.assign(8, ' ');
  descltx.assign(43, ' ');
  descaut.assign(40, ' ');
  dessrdt.assign(8, ' ');
  desctln.assign(15, ' ');
  desdwng.assign(6, ' ');
  desdevt.assign(40, ' ');
}

DESHeader::DESHeader(const DESHeader& other)
    : de(other.de),
      desid(other.desid),
      desver(other.desver),
      declas(other.declas),
      desclsy(other.desclsy),
      descode(other.descode),
      desctlh(other.desctlh),
      desrel(other.desrel),
      desdctp(other.desdctp),
      desdcdt(other.desdcdt),
      desdcxm(other.desdcxm),
      desdg(other.desdg),
      desdgdt(other.desdgdt),
      descltx(other.descltx),
      descatp(other.descatp),
      descaut(other.descaut),
      descrsn(other.descrsn),
      dessrdt(other.dessrdt),
      desctln(other.desctln),
      desdwng(other.desdwng),
      desdevt(other.desdevt),
      desoflw(other.desoflw),
      desitem(other.desitem),
      desshl(other.desshl),
      desshf(other.desshf) {
  version = other.version;
  initializeLengths();
  if (version == 0) switchTo20();
  // A copy writes the user-defined subheader it holds, in the same width.
  fieldLengths[DESSHF] = other.fieldLengths[DESSHF];
  desLength = other.desLength;
  if (other.data != nullptr && desLength >= 0) {
    // The source's buffer may carry a closing NUL (after read); copy it too.
    data = new char[static_cast<size_t>(desLength) + 1];
    std::memcpy(data, other.data, static_cast<size_t>(desLength));
    data[desLength] = '\0';
  }
}

DESHeader::~DESHeader() {
  delete reader;
  delete[] data;
}

void DESHeader::initializeLengths() {
  for (const Row& row : table()) fieldLengths[row.id] = row.width;
  desLength = 0;
}

void DESHeader::switchTo20() {
  for (const Row& row : table()) {
    if (row.width20 != row.width) fieldLengths[row.id] = row.width20;
  }
}

bool DESHeader::isTreOverflow() const {
  const size_t end = desid.find_last_not_of(' ');
  const std::string trimmed = desid.substr(0, end == std::string::npos ? 0 : end + 1);
  if (trimmed == TRE_OVERFLOW) return true;
  return version == 0 && (trimmed == REGISTERED_EXTENSIONS || trimmed == CONTROLLED_EXTENSIONS);
}

// ---- Reading ----

bool DESHeader::jumpToCurrentSegment(FileHeader& h, int index) {
  if (reader == nullptr || index < 0 || index >= h.numdes) return false;
  long long offset = h.hl;
  const auto skip = [&offset](int count, const int* subheaders, const int* lengths32,
                              const long long* lengths64) {
    for (int i = 0; i < count; ++i) {
      offset = advance(offset, subheaders != nullptr ? subheaders[i] : 0);
      if (lengths64 != nullptr) offset = advance(offset, lengths64[i]);
      if (lengths32 != nullptr) offset = advance(offset, lengths32[i]);
    }
  };
  skip(h.numi, h.lish, nullptr, h.li);
  skip(h.nums, h.lssh, h.ls, nullptr);
  if (h.version == 0) skip(h.numl, h.llsh, h.ll, nullptr);
  skip(h.numt, h.ltsh, h.lt, nullptr);
  skip(index, h.ldsh, h.ld, nullptr);
  if (offset < 0) return false;
  reader->seek(offset, FROM_START);
  return true;
}

void DESHeader::read(std::string path, FileHeader& fileHeader, int index) {
  read(DataReader::getDataReaderForFile(path), fileHeader, index);
}

void DESHeader::read(DataReader* source, FileHeader& fileHeader, int index) {
  delete reader;
  reader = source;
  if (reader == nullptr) return;
  if (index < 0 || index >= fileHeader.numdes || fileHeader.ld == nullptr ||
      !jumpToCurrentSegment(fileHeader, index)) {
    delete reader;
    reader = nullptr;
    return;
  }
  version = fileHeader.version == 0 ? 0 : 1;
  initializeLengths();
  if (version == 0) switchTo20();
  for (const Row& row : table()) {
    if (row.id == DESSHF) break;  // read with DESSHL below
    if (!present(row, *this)) continue;
    row.field.read(reader, fieldLengths[row.id], *this);
  }
  if (desshl != 0) {
    fieldLengths[DESSHF] = boundedWidth(reader, desshl);
    readStringTag(fieldLengths[DESSHF], desshf);
    // The subheader records what it holds.
    desshl = fieldLengths[DESSHF];
  }

  // The data: LD bytes, or what the file holds of them.
  const long long declared = fileHeader.ld[index] > 0 ? fileHeader.ld[index] : 0;
  const std::vector<char> bytes = readData(reader, declared);
  desLength = static_cast<int>(bytes.size());
  delete[] data;
  data = new char[bytes.size() + 1];
  std::copy(bytes.begin(), bytes.end(), data);
  data[desLength] = '\0';
  delete reader;
  reader = nullptr;
}

void DESHeader::readStringTag(int n, std::string& value) { NITF::readStringTag(reader, n, value); }
void DESHeader::readIntTag(int n, int& value) { NITF::readIntTag(reader, n, value); }
void DESHeader::readCharTag(char& value) { NITF::readCharTag(reader, value); }
void DESHeader::readBoolTag(bool& value) { NITF::readBoolTag(reader, value); }
void DESHeader::readLongLongTag(int n, long long& value) {
  NITF::readLongLongTag(reader, n, value);
}

// ---- Writing ----

int DESHeader::writeSubheader(std::ostream* out) {
  int written = 0;
  for (const Row& row : table()) {
    if (!present(row, *this)) continue;
    int width = row.field.kind == Plain::CHAR ? 1 : fieldLengths[row.id];
    // DESSHF is as long as the DESSHL written before it says.
    if (row.id == DESSHF) width = desshl < 0 ? 0 : (desshl > MAX_DESSHL ? MAX_DESSHL : desshl);
    row.field.write(out, width, *this);
    written += width;
  }
  return written;
}

void DESHeader::write(std::ostream* out) {
  const int subheaderLength = writeSubheader(out);
  std::cout << "DESHeader Length: " << subheaderLength << std::endl;
  const int dataLength = data != nullptr && desLength > 0 ? desLength : 0;
  if (dataLength > 0) out->write(data, dataLength);
  std::cout << "DESData Length: " << dataLength << std::endl;
}

// ---- Listing ----

void DESHeader::printTags() {
  std::cout << "------DATA EXTENSION SEGMENT------" << std::endl;
  for (const Row& row : table()) {
    if (!present(row, *this)) continue;
    printHeaderLine(row.field.label, row.field.printed(*this));
  }
}

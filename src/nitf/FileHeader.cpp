#include "FileHeader.h"

#include <iostream>
#include <vector>

#include "HeaderField.h"
#include "NITF.h"

namespace {

using Plain = HeaderField<FileHeader>;
using F = FileHeader;

enum Version { BOTH, V21, V20 };

// What a row of the table is, beyond a plain field.
enum Role {
  PLAIN,        // one value through HeaderField
  BACKGROUND,   // FBKGC: three raw characters
  TABLE_COUNT,  // a segment count; its two entry rows follow
  ENTRY,        // a per-segment length, handled with its count
  DATA_LENGTH,  // UDHDL or XHDL; its offset and data rows follow
  DATA_PART,    // UDHOFL/UDHD, XHDLOFL/XHD, handled with their length
};

struct Row {
  F::Field id;
  int width21;
  int width20;
  Version version;
  Role role;
  Plain field;  // label nullptr: not printed
};

Plain str(const char* label, std::string F::*m) { return Plain::stringField(label, m); }
Plain chr(const char* label, char F::*m) { return Plain::charField(label, m); }
Plain num(const char* label, int F::*m) { return Plain::intField(label, m); }
Plain big(const char* label, long long F::*m) { return Plain::longLongField(label, m); }
Plain flag(const char* label, bool F::*m) { return Plain::boolField(label, m); }
Plain label(const char* text) {
  return Plain{text, Plain::STRING, nullptr, nullptr, nullptr, nullptr, nullptr};
}

// The file header, field by field, in file order (widths from MIL-STD-2500C
// and, where 2.0 differs, MIL-STD-2500A).
const std::vector<Row>& table() {
  static const std::vector<Row> rows = {
      {F::FHDR, 9, 9, BOTH, PLAIN, str("fhdr", &F::fhdr)},
      {F::CLEVEL, 2, 2, BOTH, PLAIN, num("clevel", &F::clevel)},
      {F::STYPE, 4, 4, BOTH, PLAIN, str("stype", &F::stype)},
      {F::OSTAID, 10, 10, BOTH, PLAIN, str("ostaid", &F::ostaid)},
      {F::FDT, 14, 14, BOTH, PLAIN, str("fdt", &F::fdt)},
      {F::FTITLE, 80, 80, BOTH, PLAIN, str("ftitle", &F::ftitle)},
      {F::FSCLAS, 1, 1, BOTH, PLAIN, chr("fclas", &F::fsclas)},
      {F::FSCLSY, 2, 2, V21, PLAIN, str("fsclsy", &F::fsclsy)},
      {F::FSCODE, 11, 40, BOTH, PLAIN, str("fscode", &F::fscode)},
      {F::FSCTLH, 2, 40, BOTH, PLAIN, str("fsctlh", &F::fsctlh)},
      {F::FSREL, 20, 40, BOTH, PLAIN, str("fsrel", &F::fsrel)},
      {F::FSDCTP, 2, 2, V21, PLAIN, str("fsdctp", &F::fsdctp)},
      {F::FSDCDT, 8, 8, V21, PLAIN, str("fsdcdt", &F::fsdcdt)},
      {F::FSDCXM, 4, 4, V21, PLAIN, str("fsdcxm", &F::fsdcxm)},
      {F::FSDG, 1, 1, V21, PLAIN, chr("fsdg", &F::fsdg)},
      {F::FSDGDT, 8, 8, V21, PLAIN, str("fsdgt", &F::fsdgdt)},
      {F::FSCLTX, 43, 43, V21, PLAIN, str("fscltx", &F::fscltx)},
      {F::FSCATP, 1, 1, V21, PLAIN, chr("fscatp", &F::fscatp)},
      {F::FSCAUT, 40, 20, BOTH, PLAIN, str("fscaut", &F::fscaut)},
      {F::FSCRSN, 1, 1, V21, PLAIN, chr("fscrsn", &F::fscrsn)},
      {F::FSSRDT, 8, 8, V21, PLAIN, str("fssrdt", &F::fssrdt)},
      {F::FSCTLN, 15, 20, BOTH, PLAIN, str("fsctln", &F::fsctln)},
      {F::FSDWNG, 6, 6, V20, PLAIN, str("fsdwng", &F::fsdwng)},
      {F::FSDEVT, 40, 40, V20, PLAIN, str("fsdevt", &F::fsdevt)},
      {F::FSCOP, 5, 5, BOTH, PLAIN, num("fscop", &F::fscop)},
      {F::FSCPYS, 5, 5, BOTH, PLAIN, num("fscpys", &F::fscpys)},
      {F::ENCRYP, 1, 1, BOTH, PLAIN, flag("encryp", &F::encryp)},
      {F::FBKGC, 3, 3, V21, BACKGROUND, label("fbkgc")},
      {F::ONAME, 24, 27, BOTH, PLAIN, str("oname", &F::oname)},
      {F::OPHONE, 18, 18, BOTH, PLAIN, str("ophone", &F::ophone)},
      {F::FL, 12, 12, BOTH, PLAIN, big("fl", &F::fl)},
      {F::HL, 6, 6, BOTH, PLAIN, num("hl", &F::hl)},
      {F::NUMI, 3, 3, BOTH, TABLE_COUNT, num("numi", &F::numi)},
      {F::LISH, 6, 6, BOTH, ENTRY, label("lish")},
      {F::LI, 10, 10, BOTH, ENTRY, label("li")},
      {F::NUMS, 3, 3, BOTH, TABLE_COUNT, num("nums", &F::nums)},
      {F::LSSH, 4, 4, BOTH, ENTRY, label("lssh")},
      {F::LS, 6, 6, BOTH, ENTRY, label("ls")},
      {F::NUML, 3, 3, V20, TABLE_COUNT, num("numl", &F::numl)},
      {F::LLSH, 4, 4, V20, ENTRY, label("llsh")},
      {F::LL, 3, 3, V20, ENTRY, label("ll")},
      {F::NUMX, 3, 3, V21, PLAIN, num(nullptr, &F::numx)},
      {F::NUMT, 3, 3, BOTH, TABLE_COUNT, num("numt", &F::numt)},
      {F::LTSH, 4, 4, BOTH, ENTRY, label("ltsh")},
      {F::LT, 5, 5, BOTH, ENTRY, label("lt")},
      {F::NUMDES, 3, 3, BOTH, TABLE_COUNT, num("numdes", &F::numdes)},
      {F::LDSH, 4, 4, BOTH, ENTRY, label("ldsh")},
      {F::LD, 9, 9, BOTH, ENTRY, label("ld")},
      {F::NUMRES, 3, 3, BOTH, TABLE_COUNT, num("numres", &F::numres)},
      {F::LRESH, 4, 4, BOTH, ENTRY, label("lresh")},
      {F::LRE, 7, 7, BOTH, ENTRY, label("lre")},
      {F::UDHDL, 5, 5, BOTH, DATA_LENGTH, num("udhdl", &F::udhdl)},
      {F::UDHOFL, 3, 3, BOTH, DATA_PART, num("udhofl", &F::udhofl)},
      {F::UDHD, 0, 0, BOTH, DATA_PART, str("udhd", &F::udhd)},
      {F::XHDL, 5, 5, BOTH, DATA_LENGTH, num("xhdl", &F::xhdl)},
      {F::XHDLOFL, 3, 3, BOTH, DATA_PART, num("xhdlofl", &F::xhdlofl)},
      {F::XHD, 0, 0, BOTH, DATA_PART, str("xhd", &F::xhd)},
  };
  return rows;
}

// A segment table: the count and its two arrays (the segment lengths are
// long long for images, int for the others).
struct SegmentTable {
  int F::*count;
  int* F::*subheaderLengths;
  int* F::*lengths;
  long long* F::*longLengths;
  bool written;  // false: written as a zero count
};

SegmentTable segmentTable(F::Field countField) {
  switch (countField) {
    case F::NUMI: return {&F::numi, &F::lish, nullptr, &F::li, true};
    case F::NUMS: return {&F::nums, &F::lssh, &F::ls, nullptr, false};
    case F::NUML: return {&F::numl, &F::llsh, &F::ll, nullptr, false};
    case F::NUMT: return {&F::numt, &F::ltsh, &F::lt, nullptr, false};
    case F::NUMDES: return {&F::numdes, &F::ldsh, &F::ld, nullptr, true};
    default: return {&F::numres, &F::lresh, &F::lre, nullptr, false};
  }
}

const char* const VERSION_20 = "NITF02.00";
const char* const DEVT_FOLLOWS = "999998";

bool present(const Row& row, int version) {
  return row.version == BOTH || (row.version == V21) == (version == 1);
}

}  // namespace

FileHeader::FileHeader() : fdt(NITF::getTimeString()) {
  initializeLengths();
  ftitle.assign(80, ' ');
  fsclsy.assign(2, ' ');
  fscode.assign(11, ' ');
  fsctlh.assign(2, ' ');
  fsrel.assign(20, ' ');
  fsdctp.assign(2, ' ');
  fsdcdt.assign(8, ' ');
  fsdcxm.assign(4, ' ');
  fsdgdt.assign(8, ' ');
  fscltx.assign(43, ' ');
  fscaut.assign(40, ' ');
  fssrdt.assign(8, ' ');
  fsctln.assign(15, ' ');
  fsdwng.assign(6, ' ');
  fsdevt.assign(40, ' ');
  oname.assign(24, ' ');
  ophone.assign(18, ' ');
}

namespace {
template <class T>
T* copyArray(const T* from, int count) {
  if (from == nullptr || count <= 0) return nullptr;
  T* to = new T[static_cast<size_t>(count)];
  for (int i = 0; i < count; ++i) to[i] = from[i];
  return to;
}
}  // namespace

FileHeader::FileHeader(const FileHeader& other)
    : version(other.version),
      fhdr(other.fhdr),
      clevel(other.clevel),
      stype(other.stype),
      ostaid(other.ostaid),
      fdt(other.fdt),
      ftitle(other.ftitle),
      fsclas(other.fsclas),
      fsclsy(other.fsclsy),
      fscode(other.fscode),
      fsctlh(other.fsctlh),
      fsrel(other.fsrel),
      fsdctp(other.fsdctp),
      fsdcdt(other.fsdcdt),
      fsdcxm(other.fsdcxm),
      fsdg(other.fsdg),
      fsdgdt(other.fsdgdt),
      fscltx(other.fscltx),
      fscatp(other.fscatp),
      fscaut(other.fscaut),
      fscrsn(other.fscrsn),
      fssrdt(other.fssrdt),
      fsctln(other.fsctln),
      fsdwng(other.fsdwng),
      fsdevt(other.fsdevt),
      fscop(other.fscop),
      fscpys(other.fscpys),
      encryp(other.encryp),
      oname(other.oname),
      ophone(other.ophone),
      fl(other.fl),
      hl(other.hl),
      numi(other.numi),
      lish(copyArray(other.lish, other.numi)),
      li(copyArray(other.li, other.numi)),
      nums(other.nums),
      lssh(copyArray(other.lssh, other.nums)),
      ls(copyArray(other.ls, other.nums)),
      numl(other.numl),
      llsh(copyArray(other.llsh, other.numl)),
      ll(copyArray(other.ll, other.numl)),
      numx(other.numx),
      numt(other.numt),
      ltsh(copyArray(other.ltsh, other.numt)),
      lt(copyArray(other.lt, other.numt)),
      numdes(other.numdes),
      ldsh(copyArray(other.ldsh, other.numdes)),
      ld(copyArray(other.ld, other.numdes)),
      numres(other.numres),
      lresh(copyArray(other.lresh, other.numres)),
      lre(copyArray(other.lre, other.numres)),
      udhdl(other.udhdl),
      udhofl(other.udhofl),
      udhd(other.udhd),
      xhdl(other.xhdl),
      xhdlofl(other.xhdlofl),
      xhd(other.xhd) {
  for (int i = 0; i < 3; ++i) fbkgc[i] = other.fbkgc[i];
  initializeLengths();
  // A 2.0 header keeps its layout (written with 2.1 widths it would not be
  // a valid header of either version).
  if (version == 0) switchTo20();
}

FileHeader::~FileHeader() {
  delete reader;
  deleteSegmentTables();
}

void FileHeader::deleteSegmentTables() {
  delete[] lish;
  delete[] li;
  delete[] lssh;
  delete[] ls;
  delete[] llsh;
  delete[] ll;
  delete[] ltsh;
  delete[] lt;
  delete[] ldsh;
  delete[] ld;
  delete[] lresh;
  delete[] lre;
  lish = ltsh = lt = lssh = ls = llsh = ll = ldsh = ld = lresh = lre = nullptr;
  li = nullptr;
}

void FileHeader::initializeLengths() {
  for (const Row& row : table()) fieldLengths[row.id] = row.width21;
}

void FileHeader::switchTo20() {
  for (const Row& row : table()) {
    if (row.width20 != row.width21) fieldLengths[row.id] = row.width20;
  }
}

// ---- Reading ----

void FileHeader::read(std::string path) { read(DataReader::getDataReaderForFile(path)); }

void FileHeader::read(DataReader* source) {
  delete reader;
  reader = source;
  if (reader == nullptr) return;

  readStringTag(fieldLengths[FHDR], fhdr);
  if (fhdr == VERSION_20) {
    version = 0;
    switchTo20();
  } else {
    version = 1;
  }
  if (version == 1) {
    // 2.1 has no label table.
    delete[] llsh;
    delete[] ll;
    llsh = ll = nullptr;
    numl = 0;
  }

  const std::vector<Row>& rows = table();
  for (size_t i = 1; i < rows.size(); ++i) {
    const Row& row = rows[i];
    if (!present(row, version)) continue;
    switch (row.role) {
      case PLAIN:
        if (row.id == FSDEVT && fsdwng != DEVT_FOLLOWS) break;
        row.field.read(reader, fieldLengths[row.id], *this);
        break;
      case BACKGROUND:
        for (char& c : fbkgc) readCharTag(c);
        break;
      case TABLE_COUNT: {
        const SegmentTable t = segmentTable(row.id);
        int* unused32 = nullptr;
        long long* unused64 = nullptr;
        readSegmentTable(row.id, this->*t.count, this->*t.subheaderLengths,
                         t.lengths != nullptr ? this->*t.lengths : unused32,
                         t.longLengths != nullptr ? this->*t.longLengths : unused64);
        break;
      }
      case DATA_LENGTH: readLengthPrefixedArea(reader, rows.data(), i, fieldLengths, *this); break;
      case ENTRY:
      case DATA_PART: break;  // read with their count or length
    }
  }

  delete reader;
  reader = nullptr;
}

void FileHeader::readSegmentTable(Field countField, int& count, int*& subheaderLengths,
                                  int*& lengths32, long long*& lengths64) {
  const int subheaderWidth = fieldLengths[countField + 1];
  const int lengthWidth = fieldLengths[countField + 2];
  readIntTag(fieldLengths[countField], count);
  delete[] subheaderLengths;
  delete[] lengths32;
  delete[] lengths64;
  subheaderLengths = nullptr;
  lengths32 = nullptr;
  lengths64 = nullptr;
  count = boundedCount(reader, count, subheaderWidth + lengthWidth);
  if (count == 0) return;
  subheaderLengths = new int[static_cast<size_t>(count)]();
  const bool wide = countField == NUMI;
  if (wide) {
    lengths64 = new long long[static_cast<size_t>(count)]();
  } else {
    lengths32 = new int[static_cast<size_t>(count)]();
  }
  for (int i = 0; i < count; ++i) {
    readIntTag(subheaderWidth, subheaderLengths[i]);
    if (wide) {
      readLongLongTag(lengthWidth, lengths64[i]);
    } else {
      readIntTag(lengthWidth, lengths32[i]);
    }
  }
}

void FileHeader::readStringTag(int n, std::string& value) { NITF::readStringTag(reader, n, value); }
void FileHeader::readIntTag(int n, int& value) { NITF::readIntTag(reader, n, value); }
void FileHeader::readCharTag(char& value) { NITF::readCharTag(reader, value); }
void FileHeader::readBoolTag(bool& value) { NITF::readBoolTag(reader, value); }
void FileHeader::readLongLongTag(int n, long long& value) {
  NITF::readLongLongTag(reader, n, value);
}

// ---- Writing ----

void FileHeader::write(std::ostream* out) {
  for (const Row& row : table()) {
    if (!present(row, version)) continue;
    switch (row.role) {
      case PLAIN:
        if (row.id == FSDEVT && fsdwng != DEVT_FOLLOWS) break;
        if (row.id == NUMX) {
          NITF::writeIntTag(out, fieldLengths[row.id], 0);
          break;
        }
        row.field.write(out, fieldLengths[row.id], *this);
        break;
      case BACKGROUND:
        for (char c : fbkgc) NITF::writeCharTag(out, c);
        break;
      case TABLE_COUNT: {
        const SegmentTable t = segmentTable(row.id);
        const int count = t.written ? this->*t.count : 0;
        NITF::writeIntTag(out, fieldLengths[row.id], count);
        const int* subheaderLengths = this->*t.subheaderLengths;
        for (int i = 0; i < count; ++i) {
          NITF::writeIntTag(out, fieldLengths[row.id + 1],
                            subheaderLengths ? subheaderLengths[i] : 0);
          if (t.longLengths != nullptr) {
            const long long* lengths = this->*t.longLengths;
            NITF::writeLongLongTag(out, fieldLengths[row.id + 2], lengths ? lengths[i] : 0);
          } else {
            const int* lengths = this->*t.lengths;
            NITF::writeIntTag(out, fieldLengths[row.id + 2], lengths ? lengths[i] : 0);
          }
        }
        break;
      }
      case DATA_LENGTH: NITF::writeIntTag(out, fieldLengths[row.id], 0); break;
      case ENTRY:
      case DATA_PART: break;
    }
  }
}

// ---- Listing ----

void FileHeader::printTags() {
  std::cout << "------FILE HEADER------" << std::endl;
  const std::vector<Row>& rows = table();
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    if (!present(row, version) || row.field.label == nullptr) continue;
    switch (row.role) {
      case PLAIN: printHeaderLine(row.field.label, row.field.printed(*this)); break;
      case BACKGROUND:
        printHeaderLine(row.field.label,
                        std::string(1, fbkgc[0]) + "-" + fbkgc[1] + "-" + std::string(1, fbkgc[2]));
        break;
      case TABLE_COUNT: {
        printHeaderLine(row.field.label, row.field.printed(*this));
        const SegmentTable t = segmentTable(row.id);
        const int count = this->*t.count;
        const int* subheaderLengths = this->*t.subheaderLengths;
        for (int k = 0; k < count; ++k) {
          printHeaderLine(std::string("  ") + rows[i + 1].field.label,
                          subheaderLengths ? std::to_string(subheaderLengths[k]) : "0");
          std::string length = "0";
          if (t.longLengths != nullptr && this->*t.longLengths != nullptr) {
            length = std::to_string((this->*t.longLengths)[k]);
          } else if (t.lengths != nullptr && this->*t.lengths != nullptr) {
            length = std::to_string((this->*t.lengths)[k]);
          }
          printHeaderLine(std::string("  ") + rows[i + 2].field.label, length);
          std::cout << std::endl;
        }
        break;
      }
      case DATA_LENGTH:
        printHeaderLine(row.field.label, row.field.printed(*this));
        if (this->*row.field.integer > 0) {
          printHeaderLine(std::string("  ") + rows[i + 1].field.label,
                          rows[i + 1].field.printed(*this));
          printHeaderLine(std::string("  ") + rows[i + 2].field.label,
                          rows[i + 2].field.printed(*this));
        }
        break;
      case ENTRY:
      case DATA_PART: break;
    }
  }
}

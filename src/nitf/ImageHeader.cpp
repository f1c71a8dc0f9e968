#include "ImageHeader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>
#include <sstream>

#include "../geodesy/MGRS.h"
#include "../geodesy/UTM.h"
#include "../io/MemoryDataReader.h"
#include "../tre/ICHIPB.h"
#include "../tre/NitfASDE.h"
#include "../tre/RPC00B.h"
#include "../tre/SENSRB.h"
#include "FieldText.h"
#include "HeaderField.h"
#include "NITF.h"

namespace {

using Plain = HeaderField<ImageHeader>;
using H = ImageHeader;

// What a row of the table is, beyond a plain field.
enum Role {
  PLAIN,        // one value through HeaderField, always present
  IGEOLO_ROW,   // present when ICORDS is not blank (2.0: nor "N")
  DEVT_ROW,     // 2.0: present when ISDWNG is "999998"
  COMMENTS,     // NICOM; the ICOM entries follow
  COMRAT_ROW,   // present when IC is neither "NC" nor "NM"
  BAND_COUNT,   // XBANDS (present when NBANDS is 0); the band entries follow
  DATA_LENGTH,  // UDIDL or IXSHDL; its offset and data rows follow
  HANDLED,      // read and written with the row it belongs to
};

enum Version { BOTH, V21, V20 };

struct Row {
  H::Field id;
  int width;    // NITF 2.1
  int width20;  // NITF 2.0 (MIL-STD-2500A)
  Version version;
  Role role;
  Plain field;
};

// A row present in both versions with the same width.
Row both(H::Field id, int width, Role role, Plain field) {
  return {id, width, width, BOTH, role, field};
}

Plain str(const char* label, std::string H::*m) { return Plain::stringField(label, m); }
Plain chr(const char* label, char H::*m) { return Plain::charField(label, m); }
Plain num(const char* label, int H::*m) { return Plain::intField(label, m); }
Plain flag(const char* label, bool H::*m) { return Plain::boolField(label, m); }
Plain label(const char* text) {
  return Plain{text, Plain::STRING, nullptr, nullptr, nullptr, nullptr, nullptr};
}

// The image subheader, field by field, in file order (MIL-STD-2500C widths).
const std::vector<Row>& table() {
  static const std::vector<Row> rows = {
      both(H::IM, 2, PLAIN, str("im", &H::im)),
      both(H::IID1, 10, PLAIN, str("iid1", &H::iid1)),
      both(H::IDATIM, 14, PLAIN, str("idatim", &H::idatim)),
      both(H::TGTID, 17, PLAIN, str("tgtid", &H::tgtid)),
      both(H::IID2, 80, PLAIN, str("iid2", &H::iid2)),
      both(H::ISCLAS, 1, PLAIN, chr("isclas", &H::isclas)),
      {H::ISCLSY, 2, 2, V21, PLAIN, str("isclsy", &H::isclsy)},
      {H::ISCODE, 11, 40, BOTH, PLAIN, str("iscode", &H::iscode)},
      {H::ISCTLH, 2, 40, BOTH, PLAIN, str("isctlh", &H::isctlh)},
      {H::ISREL, 20, 40, BOTH, PLAIN, str("isrel", &H::isrel)},
      {H::ISDCTP, 2, 2, V21, PLAIN, str("isdctp", &H::isdctp)},
      {H::ISDCDT, 8, 8, V21, PLAIN, str("isdcdt", &H::isdcdt)},
      {H::ISDCXM, 4, 4, V21, PLAIN, str("isdcxm", &H::isdcxm)},
      {H::ISDG, 1, 1, V21, PLAIN, chr("isdg", &H::isdg)},
      {H::ISDGDT, 8, 8, V21, PLAIN, str("isdgdt", &H::isdgdt)},
      {H::ISCLTX, 43, 43, V21, PLAIN, str("iscltx", &H::iscltx)},
      {H::ISCATP, 1, 1, V21, PLAIN, chr("iscatp", &H::iscatp)},
      {H::ISCAUT, 40, 20, BOTH, PLAIN, str("iscaut", &H::iscaut)},
      {H::ISCRSN, 1, 1, V21, PLAIN, str("iscrsn", &H::iscrsn)},
      {H::ISSRDT, 8, 8, V21, PLAIN, str("issrdt", &H::issrdt)},
      {H::ISCTLN, 15, 20, BOTH, PLAIN, str("isctln", &H::isctln)},
      {H::ISDWNG, 6, 6, V20, PLAIN, str("isdwng", &H::isdwng)},
      {H::ISDEVT, 40, 40, V20, DEVT_ROW, str("isdevt", &H::isdevt)},
      both(H::ENCRYP, 1, PLAIN, flag("encryp", &H::encryp)),
      both(H::ISORCE, 42, PLAIN, str("isorce", &H::isorce)),
      both(H::NROWS, 8, PLAIN, num("nrows", &H::nrows)),
      both(H::NCOLS, 8, PLAIN, num("ncols", &H::ncols)),
      both(H::PVTYPE, 3, PLAIN, str("pvtype", &H::pvtype)),
      both(H::IREP, 8, PLAIN, str("irep", &H::irep)),
      both(H::ICAT, 8, PLAIN, str("icat", &H::icat)),
      both(H::ABPP, 2, PLAIN, num("abpp", &H::abpp)),
      both(H::PJUST, 1, PLAIN, chr("pjust", &H::pjust)),
      both(H::ICORDS, 1, PLAIN, chr("icords", &H::icords)),
      both(H::IGEOLO, 60, IGEOLO_ROW, str("igeolo", &H::igeolo)),
      both(H::NICOM, 1, COMMENTS, num("nicom", &H::nicom)),
      both(H::ICOM, 80, HANDLED, label("icom")),
      both(H::IC, 2, PLAIN, str("ic", &H::ic)),
      both(H::COMRAT, 4, COMRAT_ROW, str("comrat", &H::comrat)),
      both(H::NBANDS, 1, PLAIN, num("nbands", &H::nbands)),
      both(H::XBANDS, 5, BAND_COUNT, num("xbands", &H::xbands)),
      both(H::IREPBAND, 2, HANDLED, label("irepband")),
      both(H::ISUBCAT, 6, HANDLED, label("isubcat")),
      both(H::IFC, 1, HANDLED, label("ifc")),
      both(H::IMFLT, 3, HANDLED, label("imflt")),
      both(H::NLUTS, 1, HANDLED, label("nluts")),
      both(H::NELUT, 5, HANDLED, label("nelut")),
      both(H::LUTD, 0, HANDLED, label("nelut")),
      both(H::ISYNC, 1, PLAIN, num("isync", &H::isync)),
      both(H::IMODE, 1, PLAIN, chr("imode", &H::imode)),
      both(H::NBPR, 4, PLAIN, num("nbpr", &H::nbpr)),
      both(H::NBPC, 4, PLAIN, num("nbpc", &H::nbpc)),
      both(H::NPPBH, 4, PLAIN, num("nppbh", &H::nppbh)),
      both(H::NPPBV, 4, PLAIN, num("nppbv", &H::nppbv)),
      both(H::NBPP, 2, PLAIN, num("nbpp", &H::nbpp)),
      both(H::IDLVL, 3, PLAIN, num("idlvl", &H::idlvl)),
      both(H::IALVL, 3, PLAIN, num("ialvl", &H::ialvl)),
      both(H::ILOC, 10, PLAIN, str("iloc", &H::iloc)),
      both(H::IMAG, 4, PLAIN, str("imag", &H::imag)),
      both(H::UDIDL, 5, DATA_LENGTH, num("udidl", &H::udidl)),
      both(H::UDOFL, 3, HANDLED, num("udofl", &H::udofl)),
      both(H::UDID, 0, HANDLED, str("udid", &H::udid)),
      both(H::IXSHDL, 5, DATA_LENGTH, num("ixshdl", &H::ixshdl)),
      both(H::IXSOFL, 3, HANDLED, num("ixsofl", &H::ixsofl)),
      both(H::IXSHD, 0, HANDLED, str("ixshd", &H::ixshd)),
  };
  return rows;
}

const int CETAG_WIDTH = 6;
const int CEL_WIDTH = 5;
// Error value of the degrees-minutes-seconds readers.
const double DMS_ERROR = -1000.0;
// Where each corner's group starts in IGEOLO, and the widths of its parts.
const size_t IGEOLO_LENGTH = 60;
const size_t GROUP_LENGTH = 15;
const size_t LATITUDE_LENGTH = 7;
const size_t LONGITUDE_LENGTH = 8;

const char* const DEVT_FOLLOWS = "999998";

bool inVersion(const Row& row, const ImageHeader& h) {
  return row.version == BOTH || (row.version == V21) == (h.version != 0);
}

bool present(const Row& row, const ImageHeader& h) {
  if (!inVersion(row, h)) return false;
  switch (row.role) {
    case IGEOLO_ROW: return h.icords != ' ' && !(h.version == 0 && h.icords == 'N');
    case DEVT_ROW: return h.isdwng == DEVT_FOLLOWS;
    case COMRAT_ROW: return h.ic != "NC" && h.ic != "NM";
    case BAND_COUNT: return h.nbands == 0;
    default: return true;
  }
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

ImageHeader::ImageHeader() {
  initializeLengths();
  resetCorners();
  iid1.assign(10, ' ');
  tgtid.assign(17, ' ');
  iid2.assign(80, ' ');
  isclsy.assign(2, ' ');
  iscode.assign(11, ' ');
  isctlh.assign(2, ' ');
  isrel.assign(20, ' ');
  isdctp.assign(2, ' ');
  isdcdt.assign(8, ' ');
  isdcxm.assign(4, ' ');
  isdgdt.assign(8, ' ');
  iscltx.assign(43, ' ');
  iscaut.assign(40, ' ');
  iscrsn.assign(1, ' ');
  issrdt.assign(8, ' ');
  isctln.assign(15, ' ');
  isdwng.assign(6, ' ');
  isdevt.assign(40, ' ');
  isorce.assign(42, ' ');
  igeolo.assign(60, ' ');
  comrat.assign(4, ' ');
}

ImageHeader::ImageHeader(const ImageHeader& other)
    : path(other.path),
      dataOffset(other.dataOffset),
      segmentLength(other.segmentLength),
      chippedData(other.chippedData),
      format(other.format),
      widthStep(other.widthStep),
      bufferWidth(other.bufferWidth),
      bufferHeight(other.bufferHeight),
      version(other.version),
      im(other.im),
      iid1(other.iid1),
      idatim(other.idatim),
      tgtid(other.tgtid),
      iid2(other.iid2),
      isclas(other.isclas),
      isclsy(other.isclsy),
      iscode(other.iscode),
      isctlh(other.isctlh),
      isrel(other.isrel),
      isdctp(other.isdctp),
      isdcdt(other.isdcdt),
      isdcxm(other.isdcxm),
      isdg(other.isdg),
      isdgdt(other.isdgdt),
      iscltx(other.iscltx),
      iscatp(other.iscatp),
      iscaut(other.iscaut),
      iscrsn(other.iscrsn),
      issrdt(other.issrdt),
      isctln(other.isctln),
      isdwng(other.isdwng),
      isdevt(other.isdevt),
      encryp(other.encryp),
      isorce(other.isorce),
      nrows(other.nrows),
      ncols(other.ncols),
      pvtype(other.pvtype),
      irep(other.irep),
      icat(other.icat),
      abpp(other.abpp),
      pjust(other.pjust),
      icords(other.icords),
      igeolo(other.igeolo),
      nicom(other.nicom),
      icom(other.icom),
      ic(other.ic),
      comrat(other.comrat),
      nbands(other.nbands),
      xbands(other.xbands),
      irepband(other.irepband),
      isubcat(other.isubcat),
      ifc(other.ifc),
      imflt(other.imflt),
      nluts(other.nluts),
      nelut(other.nelut),
      lutd(other.lutd),
      isync(other.isync),
      imode(other.imode),
      nbpr(other.nbpr),
      nbpc(other.nbpc),
      nppbh(other.nppbh),
      nppbv(other.nppbv),
      nbpp(other.nbpp),
      idlvl(other.idlvl),
      ialvl(other.ialvl),
      iloc(other.iloc),
      imag(other.imag),
      udidl(other.udidl),
      udofl(other.udofl),
      udid(other.udid),
      ixshdl(other.ixshdl),
      ixsofl(other.ixsofl),
      ixshd(other.ixshd) {
  initializeLengths();
  if (version == 0) switchTo20();
  // The variable widths go with the data they measure.
  fieldLengths[UDID] = other.fieldLengths[UDID];
  fieldLengths[IXSHD] = other.fieldLengths[IXSHD];
  resetCorners();
  extensions.reserve(other.extensions.size());
  for (Extension* extension : other.extensions) {
    Extension* copy = extension != nullptr ? extension->copy() : nullptr;
    // Some records copy only their decoded values; keep the raw ones too.
    if (copy != nullptr && copy->tag.empty()) {
      copy->tag = extension->tag;
      copy->text = extension->text;
      copy->length = extension->length;
    }
    extensions.push_back(copy);
  }
}

ImageHeader::~ImageHeader() {
  delete reader;
  delete[] imageData;
  deleteExtensions();
  delete[] blockStarts;
  delete[] blockEnds;
  delete asde;
}

void ImageHeader::switchTo20() {
  for (const Row& row : table()) {
    if (row.version != V21) fieldLengths[row.id] = row.width20;
  }
}

void ImageHeader::initializeLengths() {
  for (const Row& row : table())
    fieldLengths[row.id] = row.version == V20 ? row.width20 : row.width;
  fieldLengths[CETAG] = CETAG_WIDTH;
  fieldLengths[CEL] = CEL_WIDTH;
}

void ImageHeader::resetCorners() {
  frfcLat = frfcLon = frlcLat = frlcLon = lrlcLat = lrlcLon = lrfcLat = lrfcLon = NaN;
  minLat = minLon = maxLat = maxLon = NaN;
}

int ImageHeader::bandCount() const { return nbands != 0 ? nbands : xbands; }

// ---- Reading ----

void ImageHeader::read(std::string filePath, FileHeader& fileHeader, int index) {
  path = filePath;
  read(DataReader::getDataReaderForFile(filePath), fileHeader, index);
}

void ImageHeader::read(DataReader* source, FileHeader& fileHeader, int index) {
  delete reader;
  reader = source;
  if (reader == nullptr) return;
  if (index < 0 || index >= fileHeader.numi || fileHeader.lish == nullptr ||
      fileHeader.li == nullptr) {
    delete reader;
    reader = nullptr;
    return;
  }
  segmentLength = fileHeader.li[index];
  version = fileHeader.version == 0 ? 0 : 1;
  initializeLengths();
  if (version == 0) switchTo20();
  reader->seek(fileHeader.hl, FROM_START);
  for (int i = 0; i < index; ++i) {
    reader->seek(fileHeader.lish[i], FROM_CURRENT);
    reader->seek(fileHeader.li[i], FROM_CURRENT);
  }
  const long long start = reader->tell();
  readFields();
  parseTREs();
  // The data follow the subheader's LISH bytes, which may include padding
  // after its last field (GDAL writes such files).
  dataOffset = start >= 0 ? start + fileHeader.lish[index] : reader->tell();
  delete reader;
  reader = nullptr;
}

void ImageHeader::readFields() {
  const std::vector<Row>& rows = table();
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    switch (row.role) {
      case PLAIN:
      case COMRAT_ROW:
      case DEVT_ROW:
        if (present(row, *this)) row.field.read(reader, fieldLengths[row.id], *this);
        break;
      case IGEOLO_ROW:
        if (present(row, *this)) {
          row.field.read(reader, fieldLengths[row.id], *this);
          parseIGEOLO(igeolo);
        }
        break;
      case COMMENTS: {
        nicom = 0;
        row.field.read(reader, fieldLengths[row.id], *this);
        const int width = fieldLengths[ICOM];
        const int count = boundedCount(reader, nicom, width);
        icom.assign(static_cast<size_t>(count), std::string());
        for (std::string& comment : icom) readStringTag(width, comment);
        break;
      }
      case BAND_COUNT:
        if (present(row, *this)) {
          row.field.read(reader, fieldLengths[row.id], *this);
        } else {
          xbands = 0;
        }
        readBands();
        break;
      case DATA_LENGTH:
        if (readLengthPrefixedArea(reader, rows.data(), i, fieldLengths, *this) && row.id == IXSHDL)
          takeBlockACorners();
        break;
      case HANDLED: break;
    }
  }
}

void ImageHeader::readBands() {
  const int count = boundedCount(reader, bandCount(),
                                 fieldLengths[IREPBAND] + fieldLengths[ISUBCAT] +
                                     fieldLengths[IFC] + fieldLengths[IMFLT] + fieldLengths[NLUTS]);
  const size_t n = static_cast<size_t>(count);
  irepband.assign(n, std::string());
  isubcat.assign(n, std::string());
  ifc.assign(n, std::string());
  imflt.assign(n, std::string());
  nluts.assign(n, 0);
  nelut.assign(n, 0);
  lutd.assign(n, std::vector<unsigned char>());
  for (size_t b = 0; b < n; ++b) {
    readStringTag(fieldLengths[IREPBAND], irepband[b]);
    readStringTag(fieldLengths[ISUBCAT], isubcat[b]);
    readStringTag(fieldLengths[IFC], ifc[b]);
    readStringTag(fieldLengths[IMFLT], imflt[b]);
    readIntTag(fieldLengths[NLUTS], nluts[b]);
    if (nluts[b] <= 0) continue;
    readIntTag(fieldLengths[NELUT], nelut[b]);
    const long long size = static_cast<long long>(nluts[b]) * nelut[b];
    const int bounded = boundedWidth(reader, size);
    if (bounded <= 0) continue;
    lutd[b].assign(static_cast<size_t>(bounded), 0);
    reader->read(lutd[b].data(), bounded);
  }
}

void ImageHeader::takeBlockACorners() {
  delete asde;
  asde = new NitfASDE();
  asde->parseASDE(ixshd);
  const double from[8] = {asde->frfcLat, asde->frfcLon, asde->frlcLat, asde->frlcLon,
                          asde->lrlcLat, asde->lrlcLon, asde->lrfcLat, asde->lrfcLon};
  double* to[8] = {&frfcLat, &frfcLon, &frlcLat, &frlcLon, &lrlcLat, &lrlcLon, &lrfcLat, &lrfcLon};
  for (int i = 0; i < 8; ++i) {
    if (!std::isnan(from[i])) *to[i] = from[i];
  }
}

void ImageHeader::readStringTag(int n, std::string& value) {
  NITF::readStringTag(reader, n, value);
}
void ImageHeader::readIntTag(int n, int& value) { NITF::readIntTag(reader, n, value); }
void ImageHeader::readCharTag(char& value) { NITF::readCharTag(reader, value); }
void ImageHeader::readBoolTag(bool& value) { NITF::readBoolTag(reader, value); }
void ImageHeader::readLongLongTag(int n, long long& value) {
  NITF::readLongLongTag(reader, n, value);
}

double ImageHeader::string_to_double(const std::string& text) {
  return FieldText::stringToDouble(text);
}
int ImageHeader::string_to_int(const std::string& text) { return FieldText::stringToInt(text); }
void ImageHeader::copyString(std::string& from, std::string& to) {
  FieldText::copyString(from, to);
}

// ---- Writing ----

void ImageHeader::writeFields(std::ostream* out) {
  const std::vector<Row>& rows = table();
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    if (row.role == HANDLED || !present(row, *this)) {
      if (row.role == BAND_COUNT) writeBands(out);
      continue;
    }
    row.field.write(out, fieldLengths[row.id], *this);
    if (row.role == COMMENTS) {
      for (int c = 0; c < nicom; ++c) {
        NITF::writeStringTag(out, fieldLengths[ICOM],
                             c < static_cast<int>(icom.size()) ? icom[c] : "");
      }
    } else if (row.role == BAND_COUNT) {
      writeBands(out);
    } else if (row.role == DATA_LENGTH && this->*row.field.integer > 0) {
      rows[i + 1].field.write(out, fieldLengths[rows[i + 1].id], *this);
      rows[i + 2].field.write(out, fieldLengths[rows[i + 2].id], *this);
    }
  }
}

void ImageHeader::writeBands(std::ostream* out) {
  const int count = bandCount();
  for (int b = 0; b < count; ++b) {
    const size_t k = static_cast<size_t>(b);
    const auto text = [k](const std::vector<std::string>& v) {
      return k < v.size() ? v[k] : std::string();
    };
    NITF::writeStringTag(out, fieldLengths[IREPBAND], text(irepband));
    NITF::writeStringTag(out, fieldLengths[ISUBCAT], text(isubcat));
    NITF::writeStringTag(out, fieldLengths[IFC], text(ifc));
    NITF::writeStringTag(out, fieldLengths[IMFLT], text(imflt));
    const int luts = k < nluts.size() ? nluts[k] : 0;
    NITF::writeIntTag(out, fieldLengths[NLUTS], luts);
    if (luts <= 0) continue;
    const int entries = k < nelut.size() ? nelut[k] : 0;
    NITF::writeIntTag(out, fieldLengths[NELUT], entries);
    // The block as read, padded with zeros to NLUTS x NELUT bytes.
    const long long size = std::max(0LL, static_cast<long long>(luts) * entries);
    const std::vector<unsigned char> none;
    const std::vector<unsigned char>& block = k < lutd.size() ? lutd[k] : none;
    const long long present = std::min(size, static_cast<long long>(block.size()));
    out->write(reinterpret_cast<const char*>(block.data()), present);
    for (long long z = present; z < size; ++z) out->put('\0');
  }
}

// ---- Listing ----

void ImageHeader::printTags() {
  std::cout << "------IMAGE SUBHEADER------" << std::endl;
  const std::vector<Row>& rows = table();
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    if (!inVersion(row, *this)) continue;
    switch (row.role) {
      case PLAIN:
      case IGEOLO_ROW:
      case COMRAT_ROW:
      case DEVT_ROW: printHeaderLine(row.field.label, row.field.printed(*this)); break;
      case COMMENTS:
        printHeaderLine(row.field.label, row.field.printed(*this));
        for (const std::string& comment : icom)
          printHeaderLine("  icom", std::string(comment.c_str()));
        break;
      case BAND_COUNT:
        if (present(row, *this)) printHeaderLine(row.field.label, row.field.printed(*this));
        std::cout << std::endl;
        printBands();
        break;
      case DATA_LENGTH:
        printHeaderLine(row.field.label, row.field.printed(*this));
        printHeaderLine(rows[i + 1].field.label, rows[i + 1].field.printed(*this));
        printHeaderLine(rows[i + 2].field.label, rows[i + 2].field.printed(*this));
        break;
      case HANDLED: break;
    }
  }
  std::cout << std::endl;
}

void ImageHeader::printBands() {
  for (size_t b = 0; b < irepband.size(); ++b) {
    printHeaderLine("irepband", irepband[b].c_str());
    printHeaderLine("isubcat", isubcat[b].c_str());
    printHeaderLine("ifc", ifc[b].c_str());
    printHeaderLine("imflt", imflt[b].c_str());
    printHeaderLine("nluts", std::to_string(nluts[b]));
    if (nluts[b] > 0) {
      printHeaderLine("nelut", std::to_string(nelut[b]));
      std::cout << "nelut: ";
      for (unsigned char byte : lutd[b]) std::cout << static_cast<char>(byte) << ' ';
      std::cout << std::endl;
    }
  }
}

// ---- Extensions ----

int ImageHeader::getNumExtensions() const { return static_cast<int>(extensions.size()); }

Extension* ImageHeader::getExtension(std::string tag) {
  for (Extension* extension : extensions) {
    if (extension != nullptr && extension->getTag() == tag) return extension->copy();
  }
  return nullptr;
}

void ImageHeader::addExtension(Extension* extension) {
  if (extension == nullptr) return;
  const bool noExtendedData = ixshdl <= 0;
  extensions.push_back(extension);
  std::ostringstream record;
  const std::string text = extension->getText();
  NITF::writeStringTag(&record, fieldLengths[CETAG], extension->getTag());
  NITF::writeIntTag(&record, fieldLengths[CEL], static_cast<int>(text.size()));
  record << text;
  const std::string bytes = record.str();
  ixshd += bytes;
  fieldLengths[IXSHD] += static_cast<int>(bytes.size());
  ixshdl += static_cast<int>(bytes.size());
  if (noExtendedData) ixshdl += fieldLengths[IXSOFL];
}

Extension* ImageHeader::createExtension(TRE& record) {
  if (record.tag == "ICHIPB") return new ICHIPB(record.tag, record.length, record.text);
  if (record.tag == "RPC00B") return new RPC00B(record.tag, record.length, record.text);
  if (record.tag == "SENSRB") return new SENSRB(record.text);
  return nullptr;
}

void ImageHeader::parseTREs() {
  if (ixshdl <= 0) return;
  // The records of IXSHD, binary bytes included.
  MemoryDataReader in(ixshd);
  std::vector<TRE> records;
  while (in.remaining() > 0) {
    TRE record;
    NITF::readStringTag(&in, fieldLengths[CETAG], record.tag);
    NITF::readIntTag(&in, fieldLengths[CEL], record.length);
    NITF::readStringTag(&in, boundedWidth(&in, record.length), record.text);
    records.push_back(record);
  }
  deleteExtensions();
  extensions.reserve(records.size());
  for (TRE& record : records) extensions.push_back(createExtension(record));
}

void ImageHeader::deleteExtensions() {
  for (Extension* extension : extensions) delete extension;
  extensions.clear();
}

// ---- Corner coordinates ----

bool ImageHeader::parseIGEOLO(std::string text) {
  if (text.size() < IGEOLO_LENGTH) return false;
  double* corners[4][2] = {
      {&frfcLat, &frfcLon}, {&frlcLat, &frlcLon}, {&lrlcLat, &lrlcLon}, {&lrfcLat, &lrfcLon}};

  if (text[0] == '+' || text[0] == '-') {
    for (int c = 0; c < 4; ++c) {
      const size_t at = GROUP_LENGTH * c;
      *corners[c][0] = string_to_double(text.substr(at, LATITUDE_LENGTH));
      *corners[c][1] = string_to_double(text.substr(at + LATITUDE_LENGTH, LONGITUDE_LENGTH));
    }
    minLat = std::min({frfcLat, frlcLat, lrlcLat, lrfcLat});
    maxLat = std::max({frfcLat, frlcLat, lrlcLat, lrfcLat});
    minLon = std::min({frfcLon, frlcLon, lrlcLon, lrfcLon});
    maxLon = std::max({frfcLon, frlcLon, lrlcLon, lrfcLon});
    return true;
  }

  if (text[6] == 'N' || text[6] == 'S') {
    bool valid = true;
    for (int c = 0; c < 4; ++c) {
      const size_t at = GROUP_LENGTH * c;
      *corners[c][0] = latDMSToDegrees(text.substr(at, LATITUDE_LENGTH));
      *corners[c][1] = lonDMSToDegrees(text.substr(at + LATITUDE_LENGTH, LONGITUDE_LENGTH));
      if (*corners[c][0] == DMS_ERROR || *corners[c][1] == DMS_ERROR) valid = false;
    }
    return valid;
  }

  const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(icords)));
  if (kind == 'U') {
    bool valid = true;
    for (int c = 0; c < 4; ++c) {
      zel::MGRSCoordinate mgrs;
      zel::MGRS::parseMGRSString(text.substr(GROUP_LENGTH * c, GROUP_LENGTH), &mgrs);
      zel::DecimalCoordinate dec;
      if (zel::MGRS::toDecimal(&mgrs, zel::UTM::WGS84, &dec) == 0) {
        *corners[c][0] = dec.getLat();
        *corners[c][1] = dec.getLon();
      } else {
        *corners[c][0] = *corners[c][1] = NaN;
        valid = false;
      }
    }
    return valid;
  }
  if (kind == 'N' || kind == 'S') {
    for (int c = 0; c < 4; ++c) {
      zel::UTMCoordinate utm;
      utm.southern = kind == 'S';
      utm.letter = 'Z';
      zel::UTM::parseUTMString(text.substr(GROUP_LENGTH * c, GROUP_LENGTH), &utm);
      zel::DecimalCoordinate dec;
      zel::UTM::toDecimal(&utm, zel::UTM::WGS84, &dec);
      *corners[c][0] = dec.getLat();
      *corners[c][1] = dec.getLon();
    }
    return true;
  }
  return false;
}

double ImageHeader::latDMSToDegrees(std::string text) {
  if (text.size() <= 6) return DMS_ERROR;
  const double degrees = string_to_int(text.substr(0, 2));
  const double minutes = string_to_int(text.substr(2, 2));
  const double seconds = string_to_int(text.substr(4, 2));
  const double value = (seconds / 60.0 + minutes) / 60.0 + degrees;
  return text[6] == 'S' ? -value : value;
}

double ImageHeader::lonDMSToDegrees(std::string text) {
  if (text.size() <= 7) return DMS_ERROR;
  const double degrees = string_to_int(text.substr(0, 3));
  const double minutes = string_to_int(text.substr(3, 2));
  const double seconds = string_to_int(text.substr(5, 2));
  const double value = (seconds / 60.0 + minutes) / 60.0 + degrees;
  return text[7] == 'W' ? -value : value;
}

std::string ImageHeader::getCorners() { return igeolo; }

void ImageHeader::getFourCorners(zel::GeoQuad& quad) {
  quad.ul.setLat(frfcLat);
  quad.ul.setLon(frfcLon);
  quad.ur.setLat(frlcLat);
  quad.ur.setLon(frlcLon);
  quad.lr.setLat(lrlcLat);
  quad.lr.setLon(lrlcLon);
  quad.ll.setLat(lrfcLat);
  quad.ll.setLon(lrfcLon);
}

void ImageHeader::setIGEOLO(zel::GeoQuad& quad) {
  icords = 'D';
  igeolo = createIGEOLOString(quad);
}

void ImageHeader::setGeographicIGEOLO(zel::GeoQuad& quad) {
  icords = 'G';
  igeolo = createGeographicIGEOLOString(quad);
}

std::string ImageHeader::createIGEOLOString(zel::GeoQuad& quad) {
  std::string text;
  for (const zel::DecimalCoordinate* c : {&quad.ul, &quad.ur, &quad.lr, &quad.ll}) {
    text += formatLat(c->getLat()) + formatLon(c->getLon());
  }
  return text;
}

std::string ImageHeader::createGeographicIGEOLOString(zel::GeoQuad& quad) {
  std::string text;
  for (const zel::DecimalCoordinate* c : {&quad.ul, &quad.ur, &quad.lr, &quad.ll}) {
    text += formatGeographicLat(c->getLat()) + formatGeographicLon(c->getLon());
  }
  return text;
}

namespace {
// Sign, then |value| with three decimals zero-filled to `digits` integer
// digits. The filling is decided on the rounded text, so 9.9996 gives
// "+10.000", not "+010.000".
std::string signedDecimal(double value, size_t digits) {
  std::string magnitude = FieldText::fixed(std::fabs(value), 3);
  const size_t width = digits + 4;
  if (magnitude.size() < width) magnitude.insert(0, width - magnitude.size(), '0');
  return (value < 0 ? "-" : "+") + magnitude;
}
}  // namespace

std::string ImageHeader::formatLat(double latitude) { return signedDecimal(latitude, 2); }

std::string ImageHeader::formatLon(double longitude) { return signedDecimal(longitude, 3); }

void ImageHeader::angToDMS(double angle, int& degrees, int& minutes, int& seconds, bool& negative) {
  negative = angle < 0;
  const double a = std::fabs(angle);
  if (!(a < 1e6)) {  // NaN or beyond any angle: nothing sensible to split
    degrees = minutes = seconds = 0;
    return;
  }
  degrees = static_cast<int>(a);
  const double f = (a - degrees) * 60.0;
  minutes = static_cast<int>(f);
  seconds = static_cast<int>(60.0 * (f - minutes) + 0.5);
}

std::string ImageHeader::formatGeographicLat(double latitude) {
  int d = 0, m = 0, s = 0;
  bool negative = false;
  angToDMS(latitude, d, m, s, negative);
  char text[64];
  std::snprintf(text, sizeof text, "%02d%02d%02d%c", d, m, s, negative ? 'S' : 'N');
  return text;
}

std::string ImageHeader::formatGeographicLon(double longitude) {
  int d = 0, m = 0, s = 0;
  bool negative = false;
  angToDMS(longitude, d, m, s, negative);
  char text[64];
  std::snprintf(text, sizeof text, "%03d%02d%02d%c", d, m, s, negative ? 'W' : 'E');
  return text;
}

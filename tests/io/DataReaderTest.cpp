#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "io/ANSIFileReader.h"
#include "io/DataReader.h"
#include "io/MemoryDataReader.h"
#include "io/StringDataReader.h"
#include "support/TestPaths.h"

namespace {

std::string readText(DataReader* reader, long long n) {
  std::string out(static_cast<std::size_t>(n), '\0');
  reader->read(reinterpret_cast<unsigned char*>(&out[0]), n);
  out.resize(static_cast<std::size_t>(reader->count() > 0 ? reader->count() : 0));
  return out;
}

// The three readers over the same bytes (no NUL in them).
struct ReaderKind {
  const char* name;
  std::function<std::unique_ptr<DataReader>(const std::string&)> make;
};

std::vector<ReaderKind> readerKinds() {
  return {
      {"file",
       [](const std::string& bytes) {
         const std::string path =
             testsupport::scratchPath("spine-reader-" + std::to_string(bytes.size()) + ".bin");
         testsupport::writeWholeFile(path, bytes);
         return std::unique_ptr<DataReader>(DataReader::getDataReaderForFile(path));
       }},
      {"memory",
       [](const std::string& bytes) {
         return std::unique_ptr<DataReader>(new MemoryDataReader(bytes));
       }},
      {"string",
       [](const std::string& bytes) {
         return std::unique_ptr<DataReader>(new StringDataReader(bytes));
       }},
  };
}

}  // namespace

TEST(DataReader, ShortReadMovesTheRestAndFailsForGood) {
  for (const auto& kind : readerKinds()) {
    SCOPED_TRACE(kind.name);
    auto reader = kind.make("ABCDEF");
    EXPECT_EQ(reader->tell(), 0);
    EXPECT_EQ(reader->size(), 6);
    EXPECT_EQ(readText(reader.get(), 2), "AB");
    EXPECT_EQ(reader->count(), 2);
    EXPECT_EQ(reader->tell(), 2);
    EXPECT_EQ(reader->remaining(), 4);
    EXPECT_FALSE(reader->eof());

    EXPECT_EQ(readText(reader.get(), 10), "CDEF");
    EXPECT_EQ(reader->count(), 4);
    EXPECT_TRUE(reader->eof());
    EXPECT_EQ(reader->tell(), -1);
    EXPECT_EQ(reader->remaining(), -1);

    // A seek clears the end-of-data flag but cannot revive the reader.
    reader->seek(0, FROM_START);
    EXPECT_FALSE(reader->eof());
    EXPECT_EQ(reader->tell(), -1);
    EXPECT_EQ(reader->count(), 4) << "a seek does not change count()";
    EXPECT_EQ(readText(reader.get(), 1), "");
    EXPECT_EQ(reader->count(), 0);
  }
}

TEST(DataReader, SeeksFromEachOrigin) {
  for (const auto& kind : readerKinds()) {
    SCOPED_TRACE(kind.name);
    auto reader = kind.make("ABCDEF");
    reader->seek(-3, FROM_END);
    EXPECT_EQ(readText(reader.get(), 3), "DEF");
    EXPECT_FALSE(reader->eof());
    EXPECT_EQ(reader->tell(), 6);
    EXPECT_EQ(reader->remaining(), 0);
    // Backwards from the current position, as the product scanner does.
    reader->seek(-5, FROM_CURRENT);
    EXPECT_EQ(reader->tell(), 1);
    EXPECT_EQ(readText(reader.get(), 2), "BC");
    reader->seek(4, static_cast<STARTING_POINT>(7));  // unknown origins count from the start
    EXPECT_EQ(readText(reader.get(), 1), "E");
    reader->seek(-1, FROM_START);
    EXPECT_EQ(reader->tell(), -1) << "no position before the start";
  }
}

TEST(DataReader, ZeroAndNegativeCounts) {
  for (const auto& kind : readerKinds()) {
    SCOPED_TRACE(kind.name);
    auto reader = kind.make("AB");
    reader->seek(0, FROM_END);
    unsigned char byte = 0;
    reader->read(&byte, 0);
    EXPECT_EQ(reader->count(), 0);
    EXPECT_FALSE(reader->eof());
    EXPECT_EQ(reader->tell(), 2);
    reader->read(&byte, -1);
    EXPECT_EQ(reader->count(), 0);
    EXPECT_EQ(reader->tell(), -1);
  }
}

TEST(DataReader, MissingFileGivesAFailedReaderNotNull) {
  std::unique_ptr<DataReader> reader(
      DataReader::getDataReaderForFile(testsupport::scratchPath("spine-does-not-exist.ntf")));
  ASSERT_NE(reader, nullptr);
  unsigned char buffer[4] = {'x', 'x', 'x', 'x'};
  reader->read(buffer, 4);
  EXPECT_EQ(reader->count(), 0);
  EXPECT_FALSE(reader->eof());
  EXPECT_EQ(reader->tell(), -1);
  EXPECT_EQ(reader->size(), -1);
  EXPECT_EQ(buffer[0], 'x');
}

TEST(DataReader, EmptyStringReader) {
  StringDataReader reader("");
  EXPECT_EQ(reader.tell(), 0);
  unsigned char byte;
  reader.read(&byte, 1);
  EXPECT_EQ(reader.count(), 0);
  EXPECT_TRUE(reader.eof());
}

TEST(DataReader, StringReaderStopsAtNulMemoryReaderDoesNot) {
  const std::string bytes("AB\0CD", 5);
  StringDataReader text(bytes);
  EXPECT_EQ(text.size(), 2);
  EXPECT_EQ(readText(&text, 5), "AB");
  MemoryDataReader memory(bytes);
  EXPECT_EQ(memory.size(), 5);
  EXPECT_EQ(readText(&memory, 5), bytes);
  const unsigned char raw[3] = {0, 1, 2};
  MemoryDataReader fromPointer(raw, 3);
  EXPECT_EQ(fromPointer.size(), 3);
  MemoryDataReader fromNull(nullptr, 10);
  EXPECT_EQ(fromNull.size(), 0);
}

TEST(DataReader, FileReaderAcceptsPositionsPastTheEnd) {
  auto reader = readerKinds()[0].make("ABCDEF");
  reader->seek(100, FROM_START);
  EXPECT_EQ(reader->tell(), 100);
  EXPECT_EQ(reader->remaining(), 0);
  EXPECT_EQ(readText(reader.get(), 1), "");
  EXPECT_TRUE(reader->eof());
  EXPECT_EQ(reader->tell(), -1);

  // The string and memory readers refuse such a target.
  StringDataReader text("ABCDEF");
  text.seek(7, FROM_START);
  EXPECT_EQ(text.tell(), -1);
}

// Random sequences of operations compared with the standard streams that the
// readers model: std::ifstream for the file reader, std::istringstream for the
// in-memory readers. Reads cross the file reader's block boundaries.
TEST(DataReader, BehavesLikeTheStandardStreams) {
  std::mt19937 random(20261211);
  std::string bytes(3 * ANSIFileReader::BLOCK_SIZE + 123, '\0');
  for (char& c : bytes) c = static_cast<char>('A' + random() % 26);
  const std::string path = testsupport::scratchPath("spine-reader-random.bin");
  testsupport::writeWholeFile(path, bytes);
  const long long size = static_cast<long long>(bytes.size());

  for (int trial = 0; trial < 40; ++trial) {
    const bool file = trial % 2 == 0;
    std::unique_ptr<DataReader> reader(file ? DataReader::getDataReaderForFile(path)
                                            : new MemoryDataReader(bytes));
    std::unique_ptr<std::istream> reference;
    if (file) {
      reference.reset(new std::ifstream(path, std::ios::binary));
    } else {
      reference.reset(new std::istringstream(bytes));
    }
    for (int step = 0; step < 200; ++step) {
      SCOPED_TRACE("trial " + std::to_string(trial) + " step " + std::to_string(step));
      const int op = static_cast<int>(random() % 10);
      if (op < 6) {
        const long long n = random() % 12 == 0 ? static_cast<long long>(random() % (2 * size / 3))
                                               : static_cast<long long>(random() % 200);
        std::vector<unsigned char> got(static_cast<std::size_t>(n) + 1, 0);
        std::vector<char> want(static_cast<std::size_t>(n) + 1, 0);
        reader->read(got.data(), n);
        reference->read(want.data(), static_cast<std::streamsize>(n));
        ASSERT_EQ(reader->count(), reference->gcount());
        ASSERT_EQ(0, std::memcmp(got.data(), want.data(), static_cast<std::size_t>(n)));
      } else {
        const int origin = static_cast<int>(random() % 3);
        const long long offset = static_cast<long long>(random() % (size + 20)) - 10 -
                                 (origin == FROM_START ? 0 : size / 2);
        reader->seek(offset, static_cast<STARTING_POINT>(origin));
        reference->seekg(offset, origin == FROM_CURRENT ? std::ios::cur
                                 : origin == FROM_END   ? std::ios::end
                                                        : std::ios::beg);
      }
      ASSERT_EQ(reader->eof(), reference->eof());
      ASSERT_EQ(reader->tell(), static_cast<long long>(reference->tellg()));
    }
  }
}

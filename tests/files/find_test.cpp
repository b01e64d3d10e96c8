#include "files/find.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace files {
namespace {

namespace fs = std::filesystem;

class Folder {
 public:
  Folder()
      : path_(fs::temp_directory_path() /
              ("tarnwick_files_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  fs::path operator/(const std::string& name) const { return path_ / name; }
  std::string name(const std::string& file) const { return (path_ / file).string(); }
  void write(const std::string& file, const std::string& text = "x\n") const {
    std::ofstream(path_ / file) << text;
  }

 private:
  fs::path path_;
};

TEST(FindFile, ANameThatDoesNotExistFindsItsCaseVariant) {
  Folder dir;
  dir.write("iris.csv");
  dir.write("Output.Cls");
  EXPECT_EQ(find_file(dir.name("iris.CSV"), Accept::regular_files), dir / "iris.csv");
  EXPECT_EQ(find_file(dir.name("OUTPUT.CLS"), Accept::regular_files), dir / "Output.Cls");
  EXPECT_TRUE(find_file(dir.name("iris.DBF"), Accept::regular_files).empty());
  // Only the file's own name is matched without regard to case, not its folder's.
  fs::create_directory(dir / "Sub");
  dir.write("Sub/a.csv");
  EXPECT_EQ(find_file(dir.name("Sub/A.CSV"), Accept::regular_files), dir / "Sub/a.csv");
  EXPECT_TRUE(find_file(dir.name("sub/a.csv"), Accept::regular_files).empty());
}

TEST(FindFile, TheExactNameFirstThenTheFirstVariantInByteOrder) {
  Folder dir;
  dir.write("rocks.csv");
  dir.write("Rocks.csv");
  dir.write("ROCKS.csv");
  EXPECT_EQ(find_file(dir.name("ROCKS.CSV"), Accept::regular_files), dir / "ROCKS.csv");
  dir.write("ROCKS.CSV");
  EXPECT_EQ(find_file(dir.name("ROCKS.CSV"), Accept::regular_files), dir / "ROCKS.CSV");
}

TEST(FindFile, ANameWithoutFolderStaysWithoutFolder) {
  Folder dir;
  dir.write("soil.inf");
  const fs::path here = fs::current_path();
  fs::current_path(dir / "");
  const fs::path found = find_file("SOIL.INF", Accept::regular_files);
  fs::current_path(here);
  EXPECT_EQ(found, "soil.inf");
}

TEST(FindFile, OnlyRegularFilesAfterLinksAreDataFiles) {
  Folder dir;
  fs::create_directory(dir / "folder.CSV");
  ASSERT_EQ(::mkfifo(dir.name("fifo.CSV").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "zero.CSV");
  fs::create_symlink(dir / "folder.CSV", dir / "tofolder.CSV");
  fs::create_symlink(dir / "nothing.CSV", dir / "dangling.CSV");
  for (const char* name :
       {"folder.CSV", "fifo.CSV", "zero.CSV", "tofolder.CSV", "dangling.CSV", "FIFO.csv"}) {
    EXPECT_TRUE(find_file(dir.name(name), Accept::regular_files).empty()) << name;
    std::ifstream file;
    EXPECT_FALSE(open_regular_file(dir.name(name), file)) << name;
  }
  dir.write("data.csv");
  fs::create_symlink(dir / "data.csv", dir / "link.CSV");
  EXPECT_EQ(find_file(dir.name("LINK.CSV"), Accept::regular_files), dir / "link.CSV");
  // A folder named exactly does not hide a regular file that differs in case.
  fs::create_directory(dir / "DATA.CSV");
  EXPECT_EQ(find_file(dir.name("DATA.CSV"), Accept::regular_files), dir / "data.csv");

  // A dialogue file may be a pipe or a device, never a folder.
  EXPECT_EQ(find_file(dir.name("FIFO.CSV"), Accept::anything_but_folders), dir / "fifo.CSV");
  EXPECT_EQ(find_file(dir.name("zero.CSV"), Accept::anything_but_folders), dir / "zero.CSV");
  EXPECT_TRUE(find_file(dir.name("tofolder.CSV"), Accept::anything_but_folders).empty());
}

// A zero byte ends the name the system sees: "iris.csv\0.OUT" would be iris.csv.
TEST(FindFile, ANameWithAZeroByteIsNoFile) {
  Folder dir;
  dir.write("iris.csv");
  const std::string name = dir.name("iris.csv") + std::string(1, '\0') + ".CSV";
  EXPECT_TRUE(find_file(name, Accept::regular_files).empty());
  EXPECT_TRUE(find_file(name, Accept::anything_but_folders).empty());
  EXPECT_TRUE(find_file("", Accept::regular_files).empty());
}

TEST(OpenRegularFile, OpensTheVariantAndReadsItsBytes) {
  Folder dir;
  dir.write("sites.dbf", std::string("a\r\nb\0c", 6));
  std::ifstream file;
  ASSERT_TRUE(open_regular_file(dir.name("SITES.DBF"), file));
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, std::string("a\r\nb\0c", 6));
  // A failed attempt leaves the stream closed, ready for the next name.
  EXPECT_FALSE(open_regular_file(dir.name("NONE.DBF"), file));
  EXPECT_FALSE(file.is_open());
  EXPECT_TRUE(open_regular_file(dir.name("sites.dbf"), file));
}

}  // namespace
}  // namespace files

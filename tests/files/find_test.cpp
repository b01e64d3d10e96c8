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

TEST(FindFile, TheExactNameFirstThenTheFirstCaseVariantInByteOrder) {
  Folder dir;
  dir.write("rocks.csv");
  dir.write("Rocks.csv");
  EXPECT_EQ(find_file(dir.name("ROCKS.CSV"), Accept::regular_files), dir / "Rocks.csv");
  EXPECT_TRUE(find_file(dir.name("ROCKS.DBF"), Accept::regular_files).empty());
  dir.write("ROCKS.CSV");
  EXPECT_EQ(find_file(dir.name("ROCKS.CSV"), Accept::regular_files), dir / "ROCKS.CSV");
  // Only the file's own name is matched without regard to case, not its folder's.
  fs::create_directory(dir / "Sub");
  dir.write("Sub/a.csv");
  EXPECT_EQ(find_file(dir.name("Sub/A.CSV"), Accept::regular_files), dir / "Sub/a.csv");
  EXPECT_TRUE(find_file(dir.name("sub/a.csv"), Accept::regular_files).empty());
  // A name without folder finds a name without folder.
  const fs::path here = fs::current_path();
  fs::current_path(dir / "Sub");
  const fs::path found = find_file("A.CSV", Accept::regular_files);
  fs::current_path(here);
  EXPECT_EQ(found, "a.csv");
}

TEST(FindFile, OnlyRegularFilesAfterLinksAreDataFilesAndAnythingButFoldersDialogues) {
  Folder dir;
  fs::create_directory(dir / "folder.CSV");
  ASSERT_EQ(::mkfifo(dir.name("fifo.CSV").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "zero.CSV");
  fs::create_symlink(dir / "folder.CSV", dir / "tofolder.CSV");
  for (const char* name : {"folder.CSV", "fifo.CSV", "FIFO.csv", "zero.CSV", "tofolder.CSV"}) {
    EXPECT_TRUE(find_file(dir.name(name), Accept::regular_files).empty()) << name;
    std::ifstream file;
    EXPECT_FALSE(open_regular_file(dir.name(name), file)) << name;
  }
  EXPECT_EQ(find_file(dir.name("FIFO.CSV"), Accept::anything_but_folders), dir / "fifo.CSV");
  EXPECT_EQ(find_file(dir.name("zero.CSV"), Accept::anything_but_folders), dir / "zero.CSV");
  EXPECT_TRUE(find_file(dir.name("tofolder.CSV"), Accept::anything_but_folders).empty());
  // A folder named exactly does not hide a regular file that differs in case.
  dir.write("data.csv");
  fs::create_directory(dir / "DATA.CSV");
  EXPECT_EQ(find_file(dir.name("DATA.CSV"), Accept::regular_files), dir / "data.csv");
  // A zero byte ends the name the system sees: "data.csv\0.CSV" would be data.csv.
  const std::string cut = dir.name("data.csv") + std::string(1, '\0') + ".CSV";
  EXPECT_TRUE(find_file(cut, Accept::anything_but_folders).empty());
}

}  // namespace
}  // namespace files

// Every test process works in a user folder of its own, never in the real documents folder.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

struct TestUserFolder {
    TestUserFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velkor-tests-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
            setenv("VELKOR_USER_DIR", path.c_str(), 1);
        }
    }
    ~TestUserFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

const TestUserFolder testUserFolder;

}  // namespace

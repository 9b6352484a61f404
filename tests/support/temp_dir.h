// A fixture base that runs each test in a fresh, empty working directory of
// its own, where the game looks for its files, and removes it afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace skarvel::testing {

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = std::filesystem::current_path();
        std::string name = (std::filesystem::temp_directory_path() / "skarvel-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        dir_ = name;
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        if (dir_.empty()) return;
        std::filesystem::current_path(home_);
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);  // a test may have locked it
        std::filesystem::remove_all(dir_);
    }

    static void put(const char* name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }
    // The bytes of a file, or "(none)" when there is no such file.
    static std::string get(const char* name) {
        std::ifstream in(name, std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
    }
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) names.insert(e.path().filename().string());
        return names;
    }

    std::filesystem::path dir_;  // the working directory of the test

private:
    std::filesystem::path home_;
};

}  // namespace skarvel::testing

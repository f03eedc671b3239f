// Files written under a folder of the running test's own (ctest runs tests
// side by side) and removed with it at the end.
#pragma once
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "support/wave_bytes.h"

namespace wavetest {

class TempFiles {
public:
    TempFiles() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "no-test";
        // Short, so tests of long paths still have room below it.
        char tag[32];
        std::snprintf(tag, sizeof tag, "qp-%zx", std::hash<std::string>{}(name));
        folder = (std::filesystem::path(::testing::TempDir()) / tag).string();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    ~TempFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    TempFiles(const TempFiles&) = delete;
    TempFiles& operator=(const TempFiles&) = delete;

    std::string write(const std::string& name, const Bytes& bytes) {
        std::string path = folder + "/" + name;
        writeAt(path, bytes);
        return path;
    }
    void writeAt(const std::string& path, const Bytes& bytes) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr) << path;
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    std::string folder;
};

}  // namespace wavetest

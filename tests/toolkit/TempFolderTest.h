// A test fixture with a fresh folder of its own under the temporary folder,
// named after the test and removed with its content afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

class TempFolderTest : public ::testing::Test {
protected:
    // prefix tells apart the folders of different test programs.
    explicit TempFolderTest(std::string prefix) : prefix_(std::move(prefix)) {}

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() / (prefix_ + std::string(info->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    static std::vector<std::uint8_t> ReadAll(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path folder;

private:
    std::string prefix_;
};

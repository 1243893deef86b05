// PNG pictures read in the layer: pixels as written, and a blank picture for
// a missing or damaged file.
#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ui/Services.h"

namespace {

class ImageFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("brennix_image_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string File(const std::string& name) const { return (dir_ / name).string(); }
    // A 3 x 2 RGBA picture: red, green, blue / white, black, half-transparent red.
    std::string WriteSample() const {
        const unsigned char px[] = {255, 0,   0,   255, 0, 255, 0, 255, 0,   0, 255, 255,
                                    255, 255, 255, 255, 0, 0,   0, 255, 255, 0, 0,   0};
        png_image png;
        std::memset(&png, 0, sizeof png);
        png.version = PNG_IMAGE_VERSION;
        png.width = 3;
        png.height = 2;
        png.format = PNG_FORMAT_RGBA;
        const std::string path = File("sample.png");
        EXPECT_TRUE(png_image_write_to_file(&png, path.c_str(), 0, px, 0, nullptr));
        return path;
    }
    std::filesystem::path dir_;
};

TEST_F(ImageFileTest, ReadsThePixelsAsWritten) {
    const ui::Image image = ui::LoadImage(WriteSample(), ui::Rgb(192, 192, 192));
    ASSERT_EQ(image.width, 3);
    ASSERT_EQ(image.height, 2);
    // A fully transparent pixel lands on white.
    EXPECT_EQ(image.rgb,
              (std::vector<std::uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 255, 255}));
    ASSERT_TRUE(image.transparent.has_value());
    EXPECT_EQ(*image.transparent, ui::Rgb(192, 192, 192));
}

TEST_F(ImageFileTest, MissingOrDamagedFileGivesABlankPicture) {
    const std::string sample = WriteSample();
    std::ifstream in(sample, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated", bytes.substr(0, bytes.size() / 2)},
        {"not a picture", "hello"},
        {"empty", ""},
    };
    EXPECT_TRUE(ui::LoadImage(File("missing.png")).Empty());
    for (const Case& c : cases) {
        std::ofstream(File("bad.png"), std::ios::binary | std::ios::trunc) << c.bytes;
        EXPECT_TRUE(ui::LoadImage(File("bad.png")).Empty()) << c.name;
    }
}

}  // namespace

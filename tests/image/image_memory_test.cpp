// Loads and creations that cannot have their memory: run in a child process whose address space
// is capped, so that the allocations really fail.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>

#include "image/dib.h"
#include "image/image_decode.h"
#include "util/byte_reader.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_ADDRESS_SANITIZER 1
#endif
#endif

namespace quillon {
namespace {

// Room for the test process and one input of about 800 MB, not for a second buffer that size.
constexpr rlim_t kAddressSpace = rlim_t{1280} << 20;
constexpr uint16_t kSide = 16384;
constexpr size_t kPixelBytes = size_t{kSide} * kSide * 3;  // 24 bits a pixel

bool CapAddressSpace() {
  const rlimit limit{kAddressSpace, kAddressSpace};
  return setrlimit(RLIMIT_AS, &limit) == 0;
}

class ImageMemoryTest : public testing::Test {
 protected:
  void SetUp() override {
#ifdef QUILLON_ADDRESS_SANITIZER
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit a capped address space";
#endif
  }

  // Runs `body` in a child capped at kAddressSpace; the test fails unless it returns true.
  static void ExpectInCappedChild(const std::function<bool()>& body) {
    EXPECT_EXIT(
        std::_Exit(!CapAddressSpace() ? 2 : body() ? 0 : 1),
        testing::ExitedWithCode(0), "");
  }
};

TEST_F(ImageMemoryTest, CreateThatCannotAllocateItsPixelsLeavesTheObjectEmpty) {
  ExpectInCappedChild([] {
    CDib dib;
    // 4 GiB of pixels: a size a header can describe, but not one this process can have.
    return dib.Create(8, 2, 2) && !dib.Create(32, 32767, 32767) && !dib.HasImage() &&
           dib.GetBits() == nullptr && dib.GetHeader() == nullptr;
  });
}

// A file of kSide x kSide 24-bit pixels whose pixel bytes are never written or read: the decoder
// must fail on its own buffer before it copies anything.
std::unique_ptr<uint8_t[]> LargeInput(size_t header_bytes, const uint8_t* header) {
  std::unique_ptr<uint8_t[]> input(new (std::nothrow) uint8_t[header_bytes + kPixelBytes]);
  if (input) std::memcpy(input.get(), header, header_bytes);
  return input;
}

TEST_F(ImageMemoryTest, DecodersThatCannotAllocateTheImageSayOutOfMemoryAndLeaveItEmpty) {
  uint8_t tga[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0, 0x40, 24, 0x20};
  uint8_t bmp[54] = {'B', 'M'};
  StoreU32Le(bmp + 2, static_cast<uint32_t>(54 + kPixelBytes));
  StoreU32Le(bmp + 10, 54);
  StoreU32Le(bmp + 14, 40);
  StoreU32Le(bmp + 18, kSide);
  StoreU32Le(bmp + 22, kSide);
  StoreU16Le(bmp + 26, 1);
  StoreU16Le(bmp + 28, 24);
  struct Case {
    const char* what;
    const uint8_t* header;
    size_t header_bytes;
    ImageStatus (*decode)(const uint8_t*, size_t, CDib&);
  };
  for (const Case& c : {Case{"TGA", tga, sizeof tga, DecodeTga},
                        Case{"BMP", bmp, sizeof bmp, DecodeBmp}}) {
    SCOPED_TRACE(c.what);
    ExpectInCappedChild([&c] {
      const std::unique_ptr<uint8_t[]> input = LargeInput(c.header_bytes, c.header);
      if (!input) return false;
      CDib dib;
      return dib.Create(8, 2, 2) &&
             c.decode(input.get(), c.header_bytes + kPixelBytes, dib) ==
                 ImageStatus::kOutOfMemory &&
             !dib.HasImage();
    });
  }
}

}  // namespace
}  // namespace quillon

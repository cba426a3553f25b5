// Code pages through iconv, converting to and from UTF-32BE (read and written byte by byte,
// whatever the host's byte order).
#include <iconv.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "util/code_page.h"

namespace quillon {

namespace {

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);
constexpr size_t kFailed = static_cast<size_t>(-1);
constexpr size_t kUtf32Bytes = 4;
constexpr size_t kFirstBuffer = size_t{1} << 20;  // characters; grown when short

// iconv's names for the known code pages.
constexpr struct {
  uint32_t number;
  const char* name;
} kIconvNames[] = {{874, "CP874"},   {932, "CP932"},   {936, "CP936"},   {949, "CP949"},
                   {950, "CP950"},   {1250, "CP1250"}, {1251, "CP1251"}, {1252, "CP1252"},
                   {1253, "CP1253"}, {1254, "CP1254"}, {1257, "CP1257"}};

// What loading a conversion's module takes, with room to spare.
constexpr size_t kModuleProbeBytes = size_t{1} << 20;

// Whether iconv_open failed for lack of memory: ENOMEM, or EINVAL when the conversion's module
// could not be mapped, which a probe mapping of the memory it would take tells from a system
// that lacks the module.
bool ShortOfMemory(int error) {
  if (error == ENOMEM) return true;
  if (error != EINVAL) return false;
  void* probe = mmap(nullptr, kModuleProbeBytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (probe == MAP_FAILED) return true;
  munmap(probe, kModuleProbeBytes);
  return false;
}

const char* IconvName(uint32_t number) {
  for (const auto& known : kIconvNames) {
    if (known.number == number) return known.name;
  }
  return nullptr;
}

class Conversion {
 public:
  Conversion(const char* to, const char* from)
      : handle_(iconv_open(to, from)), error_(ok() ? 0 : errno) {}
  ~Conversion() {
    if (ok()) iconv_close(handle_);
  }
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  bool ok() const { return handle_ != kNoConversion; }
  bool out_of_memory() const { return !ok() && ShortOfMemory(error_); }

  // All of `input` converted into `output`; false on a sequence the conversion refuses, one
  // cut short included.
  bool Run(const uint8_t* input, size_t size, std::vector<uint8_t>& output) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // the initial state
    // iconv's prototype takes a non-const input, which it never writes to.
    char* in = reinterpret_cast<char*>(const_cast<uint8_t*>(input));
    size_t in_left = size;
    output.resize(std::min(size, kFirstBuffer) * kUtf32Bytes + kUtf32Bytes);
    size_t done = 0;
    // After the input, a call without any, which ends a shift state (none of the known code
    // pages has one, but the conversion decides).
    bool ending = false;
    while (true) {
      char* out = reinterpret_cast<char*>(output.data() + done);
      size_t out_left = output.size() - done;
      const size_t result = ending ? iconv(handle_, nullptr, nullptr, &out, &out_left)
                                   : iconv(handle_, &in, &in_left, &out, &out_left);
      done = output.size() - out_left;
      if (result != kFailed) {
        if (ending) break;
        ending = true;
      } else if (errno == E2BIG) {
        output.resize(output.size() * 2);
      } else {
        return false;
      }
    }
    output.resize(done);
    return true;
  }

 private:
  iconv_t handle_;
  int error_;  // why it could not be opened
};

}  // namespace

struct CodePage::Native {
  explicit Native(const char* name) : decode("UTF-32BE", name), encode(name, "UTF-32BE") {}
  Conversion decode;
  Conversion encode;
  std::vector<uint8_t> buffer;
};

CodePage::CodePage() = default;
CodePage::~CodePage() = default;

bool CodePage::OpenNative() {
  native_.reset();
  const char* name = IconvName(number_);
  if (name == nullptr) return false;
  auto native = std::make_unique<Native>(name);
  // A system short of memory is not one that lacks the code page: the run says so as for every
  // other allocation.
  if (native->decode.out_of_memory() || native->encode.out_of_memory()) throw std::bad_alloc();
  if (!native->decode.ok() || !native->encode.ok()) return false;
  native_ = std::move(native);
  return true;
}

bool CodePage::DecodeNative(const uint8_t* bytes, size_t size, std::u32string& text) {
  std::vector<uint8_t>& units = native_->buffer;
  if (!native_->decode.Run(bytes, size, units)) return false;
  const ByteReader reader(units.data(), units.size());
  text.resize(units.size() / kUtf32Bytes);
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t value = 0;
    reader.U32Be(kUtf32Bytes * i, value);
    text[i] = value;
  }
  return true;
}

bool CodePage::EncodeNative(char32_t character, uint8_t* bytes, size_t capacity, size_t& length) {
  const uint8_t unit[kUtf32Bytes] = {
      static_cast<uint8_t>(character >> 24), static_cast<uint8_t>(character >> 16),
      static_cast<uint8_t>(character >> 8), static_cast<uint8_t>(character)};
  std::vector<uint8_t>& out = native_->buffer;
  if (!native_->encode.Run(unit, sizeof unit, out) || out.size() > capacity) return false;
  std::copy(out.begin(), out.end(), bytes);
  length = out.size();
  return true;
}

}  // namespace quillon

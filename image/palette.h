#pragma once
// The logical palette a CDib makes from its colour table: GDI's palette object on Windows, the
// entries alone elsewhere. Made whenever the colour table is set and released with the image.

#include <cstdint>
#include <memory>
#include <vector>

namespace quillon {

class Palette {
 public:
  // A GDI palette entry: red, green, blue, flags.
  struct Entry {
    uint8_t red, green, blue, flags;
  };

  // Null when the platform's palette cannot be made (CreatePalette fails, or memory runs out).
  static std::unique_ptr<Palette> Create(std::vector<Entry> entries);
  ~Palette();
  Palette(const Palette&) = delete;
  Palette& operator=(const Palette&) = delete;

  const std::vector<Entry>& entries() const { return entries_; }
  // The platform's palette object: an HPALETTE on Windows, null where there is no GDI.
  void* native_handle() const { return handle_; }

 private:
  Palette(std::vector<Entry> entries, void* handle);

  std::vector<Entry> entries_;
  void* handle_ = nullptr;
};

}  // namespace quillon

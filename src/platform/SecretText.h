#pragma once

#include <string>
#include <utility>

namespace folianto {

// Overwrites the whole buffer of text with zeros and empties it. Through a volatile pointer, so
// the compiler cannot leave the writes out as dead stores.
template <typename String>
void WipeText(String& text) {
  text.resize(text.capacity());
  volatile auto* chars = text.data();
  for (size_t i = 0; i < text.size(); ++i)
    chars[i] = 0;
  text.clear();
}

// Text that is wiped from memory when it goes, such as a password: held in one buffer that is
// never copied, only moved.
class SecretText {
 public:
  SecretText() = default;
  // Takes the text over and wipes what the source kept.
  explicit SecretText(std::wstring& text) : text_(text) { WipeText(text); }
  ~SecretText() { WipeText(text_); }
  SecretText(SecretText&& other) noexcept : text_(other.text_) { WipeText(other.text_); }
  SecretText& operator=(SecretText&& other) noexcept {
    if (this != &other) {
      WipeText(text_);
      text_ = other.text_;
      WipeText(other.text_);
    }
    return *this;
  }
  SecretText(const SecretText&) = delete;
  SecretText& operator=(const SecretText&) = delete;

  const std::wstring& Text() const { return text_; }

 private:
  std::wstring text_;
};

}  // namespace folianto

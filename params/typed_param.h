// Typed parameters: a value, the undo control every parameter carries first,
// and the whole-number slider scaled to a float or a byte.
#pragma once

#include <algorithm>
#include <string>
#include <type_traits>

#include "params/media_param.h"

namespace lumi {

// The parameter form of a UTF-16 string.
using vrn_string = std::u16string;

template <class T>
class MediaParamTB : public MediaParam {
 public:
  MediaParamTB() = default;
  explicit MediaParamTB(const T& initial) : value(initial) {}

  // Stores and notifies only when the value changes.
  void Set(const T& v) {
    if (v == value) return;
    value = v;
    Notify(nullptr);
  }

  T value{};
};

// Keeps the last seen value of its parameter for an editor's undo; the
// player's changes carry no source, so nothing more happens here.
template <class T>
class UndoCtrlT : public MediaControlT<MediaParamTB<T>> {
 public:
  void OnChange(MediaControl*) override {
    if (this->param_ != nullptr) last_seen_ = this->param_->value;
  }
  const T& last_seen() const { return last_seen_; }

 private:
  T last_seen_{};
};

template <class T>
class MediaParamT : public MediaParamTB<T> {
 public:
  MediaParamT() { undo_.Attach(*this); }
  explicit MediaParamT(const T& initial) : MediaParamTB<T>(initial) { undo_.Attach(*this); }
  MediaParamT(const MediaParamT& other) : MediaParamTB<T>(other.value) { undo_.Attach(*this); }
  // Assignment copies the value directly: the undo control is told, nobody else.
  MediaParamT& operator=(const MediaParamT& other) {
    this->value = other.value;
    undo_.OnChange(nullptr);
    return *this;
  }

  const UndoCtrlT<T>& undo() const { return undo_; }

 private:
  UndoCtrlT<T> undo_;
};

// A slider stored as a whole number and used as value × factor + offset.
// Its own scaling control is attached right after the undo control, so the
// scaled value is current before any owner callback runs.
template <class T>
class UINTSclaleTo : public MediaParamT<unsigned int>, public MediaControlT<MediaParamT<unsigned int>> {
 public:
  UINTSclaleTo(unsigned int initial, float factor, float offset)
      : MediaParamT<unsigned int>(initial), factor_(factor), offset_(offset) {
    Attach(*this);
  }
  UINTSclaleTo(const UINTSclaleTo& other)
      : MediaParamT<unsigned int>(other), MediaControlT<MediaParamT<unsigned int>>(),
        scaled_(other.scaled_), factor_(other.factor_), offset_(other.offset_) {
    Attach(*this);
  }
  UINTSclaleTo& operator=(const UINTSclaleTo& other) {
    MediaParamT<unsigned int>::operator=(other);
    factor_ = other.factor_;
    offset_ = other.offset_;
    Rescale();
    return *this;
  }

  void OnChange(MediaControl*) override { Rescale(); }
  // A value stored without notification is brought up to date here.
  void Rescale() {
    float product = static_cast<float>(value) * factor_ + offset_;
    if constexpr (std::is_same_v<T, unsigned char>) {
      // A slider pushed past its range would convert out of the byte's range.
      product = std::clamp(product, 0.0f, 255.0f);
    }
    scaled_ = static_cast<T>(product);
  }

  T scaled() const { return scaled_; }
  float factor() const { return factor_; }
  float offset() const { return offset_; }

 private:
  T scaled_{};
  float factor_;
  float offset_;
};

// A whole number used as a float, with the slider's scaling machinery.
template <class T>
class MediaFloat;

template <>
class MediaFloat<unsigned int> : public UINTSclaleTo<float> {
 public:
  explicit MediaFloat(unsigned int initial = 0) : UINTSclaleTo<float>(initial, 1.0f, 0.0f) {}
};

// A float that the editor's arrow keys move by whole steps.
class VRN_MediaFloat : public MediaParamT<float> {
 public:
  using MediaParamT<float>::MediaParamT;

  // Direction 0 adds 1, direction 1 subtracts 1; a step too small to change
  // the value notifies nobody.
  void Step(int direction, MediaControl* source) override {
    float next = value;
    if (direction == 0) next += 1.0f;
    else if (direction == 1) next -= 1.0f;
    if (next == value) return;
    value = next;
    Notify(source);
  }
};

}  // namespace lumi

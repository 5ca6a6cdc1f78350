// Observable values and the controls that watch them. Setting a value to
// something new notifies the attached controls at once, in the order they
// were attached; controls recompute derived values or call their owner.
#pragma once

#include <cstddef>
#include <vector>

namespace lumi {

class MediaControl;

// The controls of one parameter in attachment order. Nearly every parameter
// has one or two, so they live inline; documents hold many thousands.
class ControlList {
 public:
  ControlList() = default;
  ControlList(const ControlList&) = delete;
  ControlList& operator=(const ControlList&) = delete;

  void push_back(MediaControl* control) {
    if (size_ < kInline) {
      inline_[size_++] = control;
      return;
    }
    if (size_ == kInline) overflow_.assign(inline_, inline_ + kInline);
    overflow_.push_back(control);
    ++size_;
  }
  // Removes every entry equal to `control`.
  void remove(MediaControl* control) {
    MediaControl** items = data();
    size_t kept = 0;
    for (size_t i = 0; i < size_; ++i) {
      if (items[i] != control) items[kept++] = items[i];
    }
    if (size_ > kInline && kept <= kInline) {
      for (size_t i = 0; i < kept; ++i) inline_[i] = overflow_[i];
      overflow_.clear();
    } else if (size_ > kInline) {
      overflow_.resize(kept);
    }
    size_ = kept;
  }
  size_t size() const { return size_; }
  MediaControl* const* begin() const { return size_ > kInline ? overflow_.data() : inline_; }
  MediaControl* const* end() const { return begin() + size_; }

 private:
  static constexpr size_t kInline = 3;
  MediaControl** data() { return size_ > kInline ? overflow_.data() : inline_; }

  MediaControl* inline_[kInline] = {};
  size_t size_ = 0;
  std::vector<MediaControl*> overflow_;
};

class MediaParam {
 public:
  MediaParam() = default;
  // A copy takes the value only: controls belong to the object they were
  // attached in, never to its copies.
  MediaParam(const MediaParam&) {}
  MediaParam& operator=(const MediaParam&) { return *this; }
  virtual ~MediaParam();

  virtual void RemoveControl(MediaControl* control);
  virtual void Notify(MediaControl* source);
  virtual void Step(int direction, MediaControl* source);

  // Appends without the first OnChange (callback controls attach this way).
  void AppendControl(MediaControl* control) { controls_.push_back(control); }
  size_t ControlCount() const { return controls_.size(); }

 private:
  ControlList controls_;
};

class MediaControl {
 public:
  MediaControl() = default;
  MediaControl(const MediaControl&) = delete;
  MediaControl& operator=(const MediaControl&) = delete;
  virtual ~MediaControl() = default;

  // The observed parameter is going away.
  virtual void Detach() {}
  virtual bool IsUndoing() const { return false; }
  virtual void OnChange(MediaControl* source) = 0;
};

// A control bound to one parameter of type P.
template <class P>
class MediaControlT : public MediaControl {
 public:
  ~MediaControlT() override {
    if (param_ != nullptr) param_->RemoveControl(this);
  }

  // Moves the control to `param` and brings derived values up to date at once.
  void Attach(P& param) {
    if (param_ != nullptr) param_->RemoveControl(this);
    param_ = &param;
    param.AppendControl(this);
    OnChange(nullptr);
  }
  void Detach() override { param_ = nullptr; }
  void OnChange(MediaControl*) override {}

  P* param() const { return param_; }

 protected:
  P* param_ = nullptr;
};

}  // namespace lumi

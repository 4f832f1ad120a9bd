#include "app/shell/screens.hpp"

namespace app {

void ScreenStack::push(std::unique_ptr<Screen> screen) {
  const Layer layer = screen->layer();
  remove(layer);
  shown_[index(layer)] = std::move(screen);
}

void ScreenStack::remove(Layer layer) {
  if (auto& s = shown_[index(layer)]) {
    s->gone_ = true;
    leaving_.push_back(std::move(s));
  }
}

void ScreenStack::settle(Screen& s) {
  if (s.leave_asked_ && !s.gone_) remove(s.layer());
}

bool ScreenStack::trapped() const {
  for (const auto& s : shown_)
    if (s && s->trap()) return true;
  return false;
}

template <class Handler>
Reach ScreenStack::route(Handler handler) {
  for (size_t i = shown_.size(); i-- > 0;) {
    Screen* s = shown_[i].get();
    if (!s) continue;
    const Reach r = handler(*s);
    settle(*s);
    if (r != Reach::Passed || s->trap()) return r;
  }
  return Reach::Passed;
}

Reach ScreenStack::click(const media::Event& e) {
  return route([&](Screen& s) { return s.click(e); });
}

Reach ScreenStack::pointer(const media::Event& e) {
  return route([&](Screen& s) { return s.pointer(e); });
}

Reach ScreenStack::key(const KeyInput& k) {
  return route([&](Screen& s) { return s.key(k); });
}

bool ScreenStack::step(int at_ms) {
  leaving_.clear();
  bool changed = false;
  for (const auto& s : shown_)
    if (Screen* screen = s.get()) {
      if (screen->step(at_ms)) changed = true;
      settle(*screen);
    }
  return changed;
}

void ScreenStack::draw() const {
  size_t from = 0;
  for (size_t i = 0; i < shown_.size(); ++i)
    if (shown_[i] && shown_[i]->opaque()) from = i;
  for (size_t i = from; i < shown_.size(); ++i)
    if (shown_[i]) shown_[i]->draw();
}

bool ScreenStack::pointer_shown() const {
  for (size_t i = shown_.size(); i-- > 0;)
    if (shown_[i])
      if (const std::optional<bool> shown = shown_[i]->pointer_shown()) return *shown;
  return false;
}

}  // namespace app

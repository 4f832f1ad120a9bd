// The logical screen: the 1024x768 picture coordinates that every draw lands in and every pointer
// event is given in, whatever the size of the window or the monitor. It lies beneath both the
// display, which draws it into the window, and the input code, which maps the window's places back
// onto it.
#pragma once

namespace media {

constexpr int kScreenW = 1024;
constexpr int kScreenH = 768;

}  // namespace media

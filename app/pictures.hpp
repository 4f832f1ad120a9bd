// The pictures folder: every picture whose name ends in lowercase .png, .jpg or .bmp, in the folder's
// order, turned upright and fitted to cover the 1024x768 screen, loaded in the background into a
// PictureStore (app/picture_store.hpp).
#pragma once
#include <string>
#include <vector>

#include "app/picture_store.hpp"

namespace app {

// What a folder entry is: a picture to load, a picture with an upper-case ending (reported, not
// read), or something else (ignored).
enum class PictureName { Accept, WrongCase, Ignore };
PictureName classify_picture_name(const std::string& name);

// The accepted names in the folder's order; upper-case endings and a missing folder are reported.
std::vector<std::string> picture_names(const std::string& folder);

// Starts loading the folder into the store in the background, one worker per core. With
// PIPKIN_HOLD_PICTURES=N:FILE in the environment, loading stops after N files until FILE exists.
void start_pictures(PictureStore& store, const std::string& folder, int width = 1024, int height = 768);

// The whole folder, loaded before it returns (tests, benchmarks).
PictureStore load_pictures(const std::string& folder, int width = 1024, int height = 768);

// For the start-up benchmark: with PIPKIN_STARTUP_TIMES=FILE in the environment, appends a line
// "what milliseconds" (the monotonic clock) to FILE.
void note_startup_time(const char* what);

// How many pictures an activity needs before it can start while the rest are still loading:
// picture frames shows sixteen, pairs eight, the activities without pictures none, the others one.
size_t pictures_needed(int activity);
// The activity can start: its pictures are in, or loading has ended (with however many there are).
bool pictures_ready_for(const PictureStore& store, int activity);

}  // namespace app

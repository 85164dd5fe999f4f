#pragma once

#include <string>
#include <vector>

#include "tools/imaging/image.h"

// Pictures written as one result, each under its file name in a folder, so that the
// folder always holds one run's whole set and never a mixture:
//
// - The pictures are written into a fresh folder of their own beside the folder (a
//   hidden one named after it), under their own names.
// - `keep` swaps the two folders at once (renameat2 with RENAME_EXCHANGE), after
//   linking into the new one the other files of the old, and removes the old one.
//   Where the folder does not exist yet, the new one is renamed into place.
// - Where they cannot be swapped — the folder holds folders of its own, is a symbolic
//   link or the working directory, lies on another file system than its parent (a
//   mount point), or the file system cannot exchange — the pictures are written into a
//   fresh folder inside the folder and renamed into place one after another. Only then
//   can a reader, or a run finishing at the same moment, meet a mixture: between those
//   renames.
//
// Nothing of the new set replaces an old picture unless every picture was written.
// When a picture cannot be written, when the set is dropped before it is kept, and when
// SIGINT, SIGTERM or SIGHUP ends the program while pictures are being written, the new
// folder goes with what it holds, and the folder is as it was.
class PictureSet {
 public:
  explicit PictureSet(std::string folder);
  ~PictureSet();
  PictureSet(const PictureSet&) = delete;
  PictureSet& operator=(const PictureSet&) = delete;

  bool add(const std::string& file, const Image& picture, std::string& error);
  bool keep(std::string& error);

 private:
  bool makeStaging(std::string& error);
  bool swapIn(std::string& error);
  bool moveIn(std::string& error);
  void removeStaging();

  std::string folder_;
  std::string staging_;  // where the pictures are written; empty before the first
  bool besideFolder_ = false;
  bool handlersInstalled_ = false;
  std::vector<std::string> files_;
};

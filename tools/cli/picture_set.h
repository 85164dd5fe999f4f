#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/imaging/image.h"

// Pictures written into a folder the way careful Unix tools replace files:
//
// - Each picture is written to a temporary file of a unique name in the folder itself
//   and flushed to disk. `keep` renames every one over its final name once all of them
//   are written, so a reader sees each picture old or new, never partial.
// - Before the first rename, `keep` checks every picture it will replace or remove (a
//   folder of its name in the way, a file of another user where the folder lets only
//   owners replace files). A run that cannot write every picture, or fails such a check,
//   leaves every old picture as it was. Only a rename that fails after the checks pass
//   (the disk, or another program changing the folder meanwhile) leaves some pictures
//   new and some old, and its message says so.
// - The folder itself is never replaced, moved or recreated, and nothing in it that the
//   run did not write is touched, but for `ownNames`: the names of the pictures the
//   program can write. `keep` removes those it did not write this time, so that the
//   folder never shows pictures of another model or pose beside the new ones; one that
//   cannot be removed is an error.
// - The renames are flushed to disk with the folder; a folder that cannot be flushed is
//   an error too, though the pictures are in place.
// - The folder is opened once and every file is made relative to it: the kernel
//   resolves its path, links and ".." included, and `pathOf` names where it led.
// - SIGINT, SIGTERM and SIGHUP remove the temporary files and end the program as the
//   signal would have; a signal that was ignored when the set was made stays ignored.
//
// Two runs into one folder both succeed, and every picture is whole; the folder may then
// hold pictures of both.
class PictureSet {
 public:
  PictureSet(const std::string& folder, std::vector<std::string> ownNames);
  ~PictureSet();
  PictureSet(const PictureSet&) = delete;
  PictureSet& operator=(const PictureSet&) = delete;

  // False, with the reason in `error`, when the folder cannot be opened.
  bool open(std::string& error);
  bool add(const std::string& file, const Image& picture, std::string& error);
  bool keep(std::string& error);
  std::string pathOf(const std::string& file) const;

 private:
  void removeTemporaries();
  // The program's own names that this run wrote no picture of.
  std::vector<std::string> staleNames() const;

  std::string folder_;  // as resolved once opened
  std::vector<std::string> ownNames_;
  int folderFd_ = -1;
  // Each picture's final name and the temporary file it is written to.
  std::vector<std::pair<std::string, std::string>> temporaries_;
};

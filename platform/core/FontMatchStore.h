// What fontconfig answered for the faces a program asked for, kept in a small file between runs.
// Reading fontconfig's configuration costs a start-up several milliseconds and over a megabyte
// for good; a later run reads this file instead, as long as nothing fontconfig's answer rests
// on has changed since: the configuration files and their folders, the font folders, the face
// files themselves, the library's version and the environment it reads. Any change, and a
// missing, foreign or damaged file, makes the whole record void, and fontconfig is asked again.
// Internal to platform/ (portable core).
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace platform::fonts {

// An installed face, as fontconfig matched it to a request.
struct TMatch {
  std::string file;
  int index = 0;
  std::string family;
  bool bold = false;    // the face itself is bold: nothing to synthesise
  bool italic = false;  // the face itself slants
  bool operator==(const TMatch&) const = default;
};

// What a match was asked for: a family (the Windows name already substituted) and the style.
struct TMatchRequest {
  std::string family;
  bool bold = false;
  bool italic = false;
  auto Tie() const { return std::tie(family, bold, italic); }
  bool operator<(const TMatchRequest& o) const { return Tie() < o.Tie(); }
};

class TMatchStore {
 public:
  // `file` is where the record lives; an empty name keeps everything in memory only.
  explicit TMatchStore(std::string file) : FFile(std::move(file)) {}

  // Reads the record; true when it holds and its matches may be used.
  bool Load();
  bool Valid() const { return FValid; }
  // Whether matches are kept in a file at all.
  bool Keeps() const { return !FFile.empty(); }
  // The stored match for a request; null when there is none or the record is void.
  const TMatch* Find(const TMatchRequest& request) const;
  // Forgets every stored match (a stored face file that no longer opens).
  void Forget();

  // Records a new match from fontconfig. `watched` is what the answer rests on (configuration
  // files and folders, font folders); the face file is added to it. The record is written at
  // once, replacing the file whole, so that two copies starting together never mix their
  // writes. A path that the file's format cannot hold leaves the record unwritten.
  void Remember(const TMatchRequest& request, const TMatch& match,
                const std::vector<std::string>& watched);

  // The stamp of the environment fontconfig reads and of the library's version; part of the
  // record, so a change to either voids it.
  static std::string Environment(int libraryVersion);
  void SetEnvironment(std::string environment) { FEnvironment = std::move(environment); }

 private:
  bool Write() const;

  std::string FFile;
  std::string FEnvironment;
  bool FValid = false;
  // Each watched path with the state it had: its modification time and size, or "-" when absent.
  std::map<std::string, std::string> FWatched;
  std::map<TMatchRequest, TMatch> FMatches;
};

// The state of a path as the record keeps it: "-" for none, else its modification time and size.
std::string PathState(const std::string& path);

}  // namespace platform::fonts

// game/playfield/ratings: the difficulty ratings tlpcheck --rate gives a whole pack, kept beside it as
// "<pack>.ratings" so that the game can show a pack's range of ratings without playing it. The file names
// the pack's content hash: a pack changed since (edited in TLES, replaced) has no ratings until it is
// rated again. The pack format itself stays as it is.
//   tessivar-ratings 1
//   pack <content hash, 16 hex digits>
//   <rating of level 1> <rating of level 2> ...
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr const char* RATINGS_EXTENSION = ".ratings";
constexpr size_t RATINGS_FILE_MAX = 1 << 20;   // bytes read of a ratings file at most

// The pack at packPath's ratings, written through the safe replace; false, with failure, when not.
bool writePackRatings(const std::string& packPath, uint64_t packHash, const std::vector<int>& ratings,
                      std::string& failure);

// The ratings beside the pack at packPath when they are there, well formed (each 1 to 5) and for the
// pack's content now; empty otherwise.
std::vector<int> readPackRatings(const std::string& packPath);

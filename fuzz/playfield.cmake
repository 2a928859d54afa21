# The game's level loading and play rules over a hostile pack, played by the seeded bot.
add_fuzz_target(fuzz_playfield_level playfield_level.cpp)
target_link_libraries(fuzz_playfield_level PRIVATE playfield_bot playfield platform_fakes)

# The replay reader over a hostile file, and what it accepts played through the game's frame.
add_fuzz_target(fuzz_playfield_replay playfield_replay.cpp)
target_link_libraries(fuzz_playfield_replay PRIVATE playfield_replay)

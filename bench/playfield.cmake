# One play-phase step on a full field, and the allocations of steady game
# frames (the bot through stepGame, recorded into a replay; and the bot's hand
# on a scripted mouse through the game's whole frame, recorded).
add_executable(playfield_bench ${CMAKE_CURRENT_LIST_DIR}/playfield_bench.cpp)
target_link_libraries(playfield_bench PRIVATE playfield_bot shell_logic platform_fakes benchmark::benchmark)

# The seeded bot over the shipped packs at several frame rates.
add_executable(bot_bench ${CMAKE_CURRENT_LIST_DIR}/bot_bench.cpp)
target_link_libraries(bot_bench PRIVATE playfield_bot platform_dirlist)

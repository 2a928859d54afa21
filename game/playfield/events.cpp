// game/playfield/events: the record through which the rules report what
// happened; the shell turns it into sounds, music and camera moves.
#include "game/playfield/playfield.h"

void clearEvents(PlayEvents& events)
{
    events.count = 0;
    events.dropped = 0;
}

namespace {

void push(PlayEvents& events, const PlayEvent& event)
{
    if (events.count < PLAY_EVENT_CAPACITY) {
        events.list[events.count++] = event;
    } else {
        ++events.dropped;
    }
}

}   // namespace

void reportSound(PlayEvents& events, int sample)
{
    push(events, {PlayEventType::Sound, static_cast<int8_t>(sample), static_cast<int8_t>(SAMPLE_CHANNELS[sample])});
}

void reportEvent(PlayEvents& events, PlayEventType type)
{
    // Anything but a sound matters more than the sounds before it: make room.
    if (events.count == PLAY_EVENT_CAPACITY) {
        for (int i = events.count - 1; i >= 0; --i) {
            if (events.list[i].type == PlayEventType::Sound) {
                for (int j = i; j + 1 < events.count; ++j) {
                    events.list[j] = events.list[j + 1];
                }
                --events.count;
                ++events.dropped;
                break;
            }
        }
    }
    push(events, {type, -1, -1});
}

// Waiting: delay, which keeps taking in window input while it sleeps, and the tick timer thread,
// which queues timer events. Both stand on the clock (clock.hpp) and the event queue (events.hpp).
#pragma once

namespace media {

// Sleeps ms milliseconds taking in window input meanwhile; with the test clock on, advances it.
void delay(int ms);

// From now on a timer-tick event is queued hz times per second (hz <= 0 stops it).
void create_timer(int hz);
void stop_timer();

}  // namespace media

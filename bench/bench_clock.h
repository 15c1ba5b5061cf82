// The clock the monitor benchmark times by (the performance counter), the waits it makes by that
// clock while it answers the player's messages, and the fixed-seed numbers that place its title
// changes, so that every run makes the same sequence of waits.
#pragma once

#include <cstdint>

// Reads the counter's frequency, which every conversion below uses, and returns it in Hz. Called
// once, before anything is timed.
int64_t startClock();

// The performance counter: 10 MHz under Wine.
int64_t now();

// Counter ticks as microseconds.
double micros(int64_t ticks);

// Microseconds as counter ticks.
int64_t ticksFromMicros(double us);

// The next number of a small, fixed-seed generator.
uint32_t nextRandom();

// Answers messages until `us` microseconds from now have passed, waking at that moment on a timer
// rather than at the next message: the host thread otherwise wakes only when the worker sends, at
// the start of a pass, and a change made then would always fall at the same point of a pass and its
// rest. It never spins, which under Wine would crowd the server that also runs the worker's timer.
void pumpForExactly(double us);

// Answers messages until the counter reaches `at`.
void pumpUntilTicks(int64_t at);

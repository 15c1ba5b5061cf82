// What the air log costs the detection of a new track: title changes timed with the log off and
// on, in one run.
#pragma once

#include <string>

// `changes` title changes with the air log off and as many with it on (a file in `folder`), in
// alternating blocks, so that whatever else loads the machine falls on both alike; the default
// 10-row page. Prints both distributions and the ratio of their medians (goal: within 10 %).
void runAirLogLatency(int changes, const std::string& folder);

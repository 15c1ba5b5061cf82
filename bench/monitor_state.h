// The plug-in's live state as the monitor benchmark sets it up: as startUp leaves it, with the
// ring already full of earlier titles and the page going to the benchmark's own file; the worker
// started and stopped through the same two calls the plug-in's entry makes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

constexpr char kHtmlTitle[] = "Generic Server's Songbeacon Status Page";
constexpr char kHtmlHeader[] = "<CENTER><B><FONT SIZE=+1>Generic Server</FONT></B></CENTER><BR>";

// The page the plug-in writes, in the folder the benchmark was given.
extern std::string pagePath;

// Live state as startUp leaves it, with the ring already full of earlier titles.
void setUpState(int32_t rows);

// Frees what setUpState() made and removes the page.
void tearDownState();

// The page the plug-in must have written for the current state, as it would render it now.
std::string expectedPage(int32_t playing, const char* current);

// Starts the worker as startUp does; returns its thread, for its CPU time, until stopWorker().
HANDLE startWorker();

// Stops the worker as shutDown does; false if it never ended.
bool stopWorker();

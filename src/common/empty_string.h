// The one empty text of the plug-in. History reads past the newest entry and the descriptor's
// description before start-up point here, so no reader ever gets a null or a stale pointer.
#pragma once

extern const char sharedEmptyString[1];

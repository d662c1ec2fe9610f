// The deletion-rank reporting library. Tarnock links it by import and calls it once per
// removal while the user takes part in the deletion ranking.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Posts "category=<n>&name=<name>&icon=<icon file name>&publisher=<publisher>&key=<key>"
// as a form to the address in [Report] Address= of the Tarnock.ini beside this library, an
// https address (http only to the loopback host). name, publisher and key arrive
// form-encoded already; iconFile arrives as an icon location and only its file name, without
// folders, quotes or icon index, is sent, encoded here. Null texts count as empty. Returns 1 when the server accepted the report,
// 0 otherwise (nothing configured, no connection, an error status, or no answer in time);
// returns within 3 seconds and keeps no pointer to the texts.
int __stdcall OlmaticPost(int category, const char* name, const char* iconFile, const char* publisher,
                          const char* key);

#ifdef __cplusplus
}
#endif

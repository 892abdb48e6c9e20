// The sound driver's pop-up that appears when recording starts.
#ifndef VARNEL_ACTIONS_DRIVER_ALERT_H
#define VARNEL_ACTIONS_DRIVER_ALERT_H

const char ALERT_TITLE[] = "C-Media PCI Audio Driver Alert";

// The driver answers to this scan code, not Space's usual 0x39.
const unsigned char ALERT_SCAN_CODE = 0x45;

// Answers the alert with Space. 1 when the key went to the alert, 0 when
// the alert is absent or is not yet the foreground window.
int DismissDriverAlert();

#endif

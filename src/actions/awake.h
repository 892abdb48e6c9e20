// Keeping the machine from going to sleep by itself while a job is armed.
#ifndef VARNEL_ACTIONS_AWAKE_H
#define VARNEL_ACTIONS_AWAKE_H

// Asks Windows to leave the system awake until the process ends: the idle
// timer no longer sends it to sleep (the display may still go dark, and the
// user's own sleep still works, and ends the request: ask again after every
// wake). 1 when asked; 0 on Windows 95 and NT 4.0, which cannot be asked.
int KeepMachineAwake();

#endif

// Resource IDs, shared by the resource script and the code.
#ifndef VARNEL_RES_RESOURCE_H
#define VARNEL_RES_RESOURCE_H

#define IDI_VARNEL 101

#endif

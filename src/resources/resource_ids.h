#pragma once
// Resource ids shared by the resource script and the code.
#define IDI_PROGRAM 1
#define IDI_SHARED 2
#define IDI_FLOPPY 3
#define IDI_MONITOR 4
#define IDB_LOGO 5
#define RT_GIFDATA 256

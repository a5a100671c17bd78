#ifndef TAMSIL_RESOURCE_H
#define TAMSIL_RESOURCE_H

// Resource and control ids, shared by the resource script and the code.

#define IDD_SETTINGS    101

#define IDC_READONLY    1000
#define IDC_DELETETEMP  1001
#define IDC_WORKDIR     1002
#define IDC_SQLPLUS     1003
#define IDC_OPTIONS     1004
#define IDC_CONNECT     1005

#ifndef IDC_STATIC
#define IDC_STATIC      (-1)
#endif

#endif

/* Resource IDs shared by launcher.rc and the code. */
#pragma once

#define IDI_LAUNCHER        1

/* Each also names the string of the words its picture shows. */
#define IDB_PROMPT_ENGLISH  101
#define IDB_PROMPT_ITALIAN  113
#define IDB_PROMPT_RUSSIAN  114
#define IDB_PROMPT_GERMAN   118
#define IDB_PROMPT_FRENCH   119

/* Resource numbers shared by the Windows resource script and the program. */
#ifndef QMZ_RESOURCE_IDS_H
#define QMZ_RESOURCE_IDS_H

/* The lowest-numbered icon is the one Explorer shows for the executable. */
#define QMZ_ICON_ID 1

#endif

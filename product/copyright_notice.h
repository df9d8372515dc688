/* The publisher's copyright notice, one line. The window's bottom strip
   shows it and the program file's version information carries it, both
   from this one definition; plain preprocessor text, so that the resource
   compiler reads it as well. */
#ifndef PRODUCT_COPYRIGHT_NOTICE_H
#define PRODUCT_COPYRIGHT_NOTICE_H

#define PRODUCT_COPYRIGHT_NOTICE "Copyright (c) 2026 Nerovane technologies"

#endif

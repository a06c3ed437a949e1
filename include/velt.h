/*
 * libzovesk: camera pipeline graph documents, result graphs, ISP kernel lists.
 *
 * The umbrella header: includes every exported header of the library.
 */
#ifndef VELT_H
#define VELT_H

#include "velt_export.h"
#include "velt_status.h"

/* Runtime platform (plain C API). */
#include "zo_log_common.h"
#include "zo_rulo_memory.h"
#include "zo_list.h"

#endif /* VELT_H */

/*
 * libzovesk: camera pipeline graph documents, result graphs, ISP kernel lists.
 *
 * The umbrella header: includes every exported header of the library. A C
 * program gets the plain C API (zo_* functions and records, status codes,
 * version macros); C++ also gets the VELT classes.
 */
#ifndef VELT_H
#define VELT_H

#include "velt_export.h"
#include "velt_status.h"
#include "zo_version.h"

/* The plain C API: all that a C program gets. */

/* Pixel formats, bytes per line and DEC400 buffer layouts. */
#include "zo_dec400_util.h"
#include "zo_pifo_format.h"

/* Runtime platform. */
#include "zo_dump.h"
#include "zo_list.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"
#include "zo_rulo_memory_common.h"

/* Memory kept for document trees. */
#include "zo_tree_cache.h"

/* Records for the ISP configuration and 3A libraries. */
#include "zo_isp_qel_records.h"
#include "zo_record_layout.h"
#include "zo_yad_frame_params.h"

#ifdef __cplusplus

/* Graph construction helpers and accessors. */
#include "velt_graph_camera_util.h"
#include "velt_graph_query_utils.h"

/* Pixel formats, bytes per line and buffer sizes. */
#include "velt_dec400util.h"
#include "velt_formats.h"

/* Configuration tree. */
#include "velt_graph_config.h"
#include "velt_graph_config_node.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_node_iterator.h"

/* Document reading and settings queries. */
#include "velt_document_compiler.h"
#include "velt_graph_query_manager.h"
#include "velt_parser.h"

/* Run-kernel overrides. */
#include "velt_kernel_config_container.h"

/* Simulation support. */
#include "velt_qel_pek_sim_utils.h"

/* ISP kernel lists, 3A frame parameters and hardware-generation utilities. */
#include "velt_graph_yad_util.h"
#include "velt_isp_utils.h"
#include "velt_qel_pek_utils.h"

/* Imaging graph analysis: the subgraph kernel-list path. */
#include "velt_graph_util.h"

#endif /* __cplusplus */

#endif /* VELT_H */

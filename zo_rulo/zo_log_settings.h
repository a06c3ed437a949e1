// Reading the settings globals while another thread may be updating them.
#ifndef ZO_RULO_ZO_LOG_SETTINGS_H
#define ZO_RULO_ZO_LOG_SETTINGS_H

namespace zo_log {

// A copy of g_zo_log_dump_path taken while no update is under way.
void copyDumpPath(char (&path)[256]);

}  // namespace zo_log

#endif

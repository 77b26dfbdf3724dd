/* A library under the formatting library's file name that lacks its
 * function, as an old or foreign build would. */
int xoltlog_format_stub_marker(void) { return 1; }

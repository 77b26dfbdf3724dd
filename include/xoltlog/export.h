/* Export and linkage macros shared by the xoltlog public headers. */
#ifndef XOLTLOG_EXPORT_H
#define XOLTLOG_EXPORT_H

/* Every exported function carries XOLTLOG_API; everything else in the
 * libraries is built with hidden visibility. */
#if defined(_WIN32)
#define XOLTLOG_API __declspec(dllexport)
#elif defined(__GNUC__)
#define XOLTLOG_API __attribute__((visibility("default")))
#else
#define XOLTLOG_API
#endif

#ifdef __cplusplus
#define XOLTLOG_BEGIN_DECLS extern "C" {
#define XOLTLOG_END_DECLS }
#define XOLTLOG_NOEXCEPT noexcept
#else
#define XOLTLOG_BEGIN_DECLS
#define XOLTLOG_END_DECLS
#define XOLTLOG_NOEXCEPT
#endif

#endif /* XOLTLOG_EXPORT_H */

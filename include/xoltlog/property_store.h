/* The property store: the key/value store under all configuration. A store
 * location that contains ".conf" is a store file; any other location is a
 * registry key path (components separated by backslashes) below
 * HKEY_LOCAL_MACHINE.
 *
 * In the registry a section is a subkey of the location and a property a
 * named value of it. In the store file a property is one line
 * "<section>.<name>=<value>" ("<name>=<value>" for an empty section text);
 * a logset's section text is "LOGSET.<logset name>". Values are written as
 * UTF-8 and given back in the process's code page.
 *
 * The handle is caller-owned (816 bytes): utiOpenPropertyStore and
 * CreatePropertyString clear and fill it, utiClosePropertyStore releases what
 * it holds. A handle is used by one thread at a time, and an enumeration on a
 * file-backed handle is not mixed with reads on the same handle. The store
 * takes no lock of its own; processes that rewrite one store file at once
 * are serialised, and each rewrite replaces the file as a whole, keeping its
 * permissions and, where the process may give a file away, its owner and
 * group; a store file reached through a symbolic link is rewritten where
 * the link leads, and the link stays. A new store file is readable by every
 * user and writable by its owner.
 *
 * A registry handle opened for reading (mode 0) refuses every change: 3 for
 * a set, 6 for a removal, as for any refused write. Memory running out in
 * an operation gives its failure result: 2 for an open, 3 for a read, 6 for
 * a change or an enumeration (CreatePropertyString: 6).
 *
 * Operations return store results, except CreatePropertyString, which
 * returns a result code; utipsres2xoltlogres (frame.h) maps the former onto
 * the latter. */
#ifndef XOLTLOG_PROPERTY_STORE_H
#define XOLTLOG_PROPERTY_STORE_H

#include <stdint.h>

#include "xoltlog/export.h"

XOLTLOG_BEGIN_DECLS

/* Store results. */
enum XoltLogStoreResult {
  XOLTLOG_STORE_OK = 0,
  XOLTLOG_STORE_E_ARG = 1,        /* a required argument is missing */
  XOLTLOG_STORE_E_OPEN = 2,       /* the key or store file cannot be opened */
  XOLTLOG_STORE_E_PROPERTY = 3,   /* missing, wrong type, unconvertible or refused */
  XOLTLOG_STORE_E_CREATE = 5,     /* the store or its temporary file cannot be made */
  XOLTLOG_STORE_E_WRITE = 6,      /* writing, renaming, deleting or enumerating failed */
  XOLTLOG_STORE_NO_MORE = 7,      /* no more items to enumerate */
  XOLTLOG_STORE_E_NO_SECTION = 8, /* the section to remove does not exist */
  XOLTLOG_STORE_E_REPLACE = 10    /* the store file stayed locked at each of 5 attempts */
};

/* Open modes. */
#define XOLTLOG_STORE_READ 0u
#define XOLTLOG_STORE_ALL_ACCESS 1u

/* Section texts and store file names hold at most 399 characters. */
#define XOLTLOG_STORE_TEXT_SIZE 400

typedef struct XoltLogStoreFile {
  uintptr_t stream; /* the store file open for reading; 0 when closed */
  char section[XOLTLOG_STORE_TEXT_SIZE];
  char file_name[XOLTLOG_STORE_TEXT_SIZE];
} XoltLogStoreFile;

typedef struct XoltLogPropertyStore {
  uintptr_t registry_key; /* the open key; 0 selects the file backend */
  XoltLogStoreFile file;  /* file backend only */
} XoltLogPropertyStore;

/* Opens an existing store: the key "<location>\<section>" (just location
 * for an empty section) with all access for mode 1 and read access
 * otherwise, or the store file at location. 1 for a null argument; 2 when
 * the key or file cannot be opened, when the file is not a regular file, or
 * when location or section has 400 characters or more for a store file. */
XOLTLOG_API uint32_t utiOpenPropertyStore(const char* location, const char* section,
                                          XoltLogPropertyStore* handle,
                                          uint32_t mode) XOLTLOG_NOEXCEPT;
/* Opens the store as mode 1 does, else creates it: the key
 * "<location>\<section>" with every missing parent, or the store file (its
 * missing directories made) holding only the four comment lines. Result
 * codes: 0, 3 for a null handle, 6 for anything else. */
XOLTLOG_API uint32_t CreatePropertyString(const char* location, const char* section,
                                          XoltLogPropertyStore* handle) XOLTLOG_NOEXCEPT;
/* Releases the key or stream: 0, or 1 for null; harmless on a closed one. */
XOLTLOG_API uint32_t utiClosePropertyStore(XoltLogPropertyStore* handle) XOLTLOG_NOEXCEPT;

/* *value receives a new text (release with xoltLogFree); a text already in
 * *value is released first. 1 null argument; 2 a store file handle that is
 * closed; 3 no such property, a registry value that is not text, or a value
 * that does not convert. Store file values lose their trailing blanks and
 * are cut to 399 bytes and at a second "=". */
XOLTLOG_API uint32_t utiGetPropertyAsStr(XoltLogPropertyStore* handle, const char* name,
                                         char** value) XOLTLOG_NOEXCEPT;
/* 1 null argument; 3 a refused registry write or a value that does not
 * convert. A store file refuses with 3, and leaves untouched, an empty name,
 * a name or value holding a line feed or carriage return, a name holding
 * "=", a section text holding "=" or "." (except "LOGSET.<name>" with a
 * name free of both), a line that would read as a comment, and a value of
 * more than 399 bytes in UTF-8. Otherwise, for a store file: 2 the file
 * cannot be reopened, 5 the temporary file cannot be made, 6 writing or
 * replacing failed, 10 replacing was denied five times. */
XOLTLOG_API uint32_t utiSetPropertyAsStr(XoltLogPropertyStore* handle, const char* name,
                                         const char* value) XOLTLOG_NOEXCEPT;
/* 1 null argument; 6 a registry value that cannot be deleted (one that does
 * not exist included). A store file property that does not exist is 0. */
XOLTLOG_API uint32_t utiRemoveProperty(XoltLogPropertyStore* handle,
                                       const char* name) XOLTLOG_NOEXCEPT;
/* Removes a section: a name containing ".conf" is a file, deleted (6 when
 * that fails). Otherwise the store file's lines of section name; or the
 * registry subkey tree name below the handle's key, or, for a name with a
 * backslash, the key path name below HKEY_LOCAL_MACHINE. 8 when the section
 * does not exist, 6 any other failure, every form through a registry handle
 * opened for reading included. */
XOLTLOG_API uint32_t utiRemovePropertyRoot(XoltLogPropertyStore* handle,
                                           const char* name) XOLTLOG_NOEXCEPT;
/* Enumerate section names into name_buffer. *name_length holds the buffer
 * size on entry and the name's length on success. Registry: the index-th
 * subkey of the handle's key in ascending order without case. Store file:
 * index is ignored; the next section (utiEnumProductId) or logset name
 * (utiEnumLogsetForProductId) after the stream's position that differs from
 * the text in name_buffer (empty on the first call). 0; 1 null argument,
 * size 0 or a closed store file; 6 failure or a name that does not fit with
 * its NUL; 7 no more. */
XOLTLOG_API uint32_t utiEnumProductId(XoltLogPropertyStore* handle, uint32_t index,
                                      char* name_buffer, uint32_t* name_length) XOLTLOG_NOEXCEPT;
XOLTLOG_API uint32_t utiEnumLogsetForProductId(XoltLogPropertyStore* handle, uint32_t index,
                                               char* name_buffer,
                                               uint32_t* name_length) XOLTLOG_NOEXCEPT;

XOLTLOG_END_DECLS

#endif /* XOLTLOG_PROPERTY_STORE_H */

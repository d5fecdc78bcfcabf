/* VemoPrintExport for hosts: a late-bound C interface.
 *
 * A host creates the component's public classes by identifier
 * ("VemoPrintExport.ExportAction", ...), sets their properties and calls
 * their members by name with host values, exactly as the member lists of
 * docs/embedding.md give them:
 *
 *   vemo_initialize(NULL);
 *   vemo_object* action;
 *   vemo_create("VemoPrintExport.ExportAction", &action);
 *   vemo_set(action, "DataSrv", &dataSrv);  ...
 *   vemo_value isPreview = vemo_bool(0), printed;
 *   vemo_call(action, "PrintBill", &isPreview, 1, &printed);
 *   vemo_release(action);
 *
 * Rules of the boundary:
 * - Every call answers VEMO_OK (0) or an error number; the message of the
 *   last failure on this thread is vemo_last_error(). Nothing is thrown.
 * - Values passed in are copied (texts) or shared (objects): the host may
 *   free or release its own at once.
 * - A value handed back owns its text and object: free it with
 *   vemo_value_clear(). Object handles are freed with vemo_release().
 * - Texts are UTF-8. Dates are days since 1899-12-30, the fraction being the
 *   time of day.
 * - Byte arrays (a template, a picture, a finished workbook) cross as
 *   VEMO_BYTES: a pointer and a length, copied on the way in; one handed
 *   back is freed with vemo_value_clear() like a text.
 * - Any thread may call. The component takes one lock for the whole of
 *   each call, so calls from several threads run one after the other; a
 *   desktop callback may call back into the component on its own thread.
 *   The last error is kept per thread.
 *
 * The layout of every type below is part of the ABI: it changes only with
 * VEMOPRINT_API_VERSION.
 */
#ifndef VEMOPRINT_VEMOPRINT_H
#define VEMOPRINT_VEMOPRINT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VEMOPRINT_API_VERSION 1

#if defined(__GNUC__)
#define VEMO_API __attribute__((visibility("default")))
#else
#define VEMO_API
#endif

/* Status codes. Other positive numbers are the component's own error
 * numbers (429 cannot create object, 438 no such member, 450 wrong number
 * of arguments, 13 type mismatch, ...). */
#define VEMO_OK 0
#define VEMO_E_ARGUMENT (-1) /* a NULL pointer or bad value where one is needed */
#define VEMO_E_INTERNAL (-2) /* an unexpected failure inside the component */

typedef struct vemo_object vemo_object; /* a handle to a shared object */

typedef enum vemo_type {
  VEMO_EMPTY = 0,
  VEMO_NULL = 1,
  VEMO_BOOLEAN = 2,
  VEMO_INTEGER = 3,
  VEMO_DOUBLE = 4,
  VEMO_TEXT = 5,
  VEMO_DATE = 6,
  VEMO_OBJECT = 7,
  VEMO_BYTES = 8
} vemo_type;

/* A byte array: `size` bytes at `data`. */
typedef struct vemo_bytes {
  const void* data;
  size_t size;
} vemo_bytes;

typedef struct vemo_value {
  int32_t type; /* a vemo_type */
  int32_t reserved;
  union {
    int32_t boolean; /* 0 false, any other true */
    int64_t integer;
    double number; /* VEMO_DOUBLE and VEMO_DATE */
    const char* text;
    vemo_object* object;
    const vemo_bytes* bytes; /* VEMO_BYTES */
  } as;
} vemo_value;

/* The API version the library was built with; a host built against a
 * different VEMOPRINT_API_VERSION must not use it. */
VEMO_API int vemo_api_version(void);

/* Registers the component's classes and the default host components, and
 * publishes the login: from the JSON session file `session_file`, or, when
 * NULL, the account $VEMO_DATABASE (else the sample company) and the user
 * $VEMO_USER (else Administrator). Call once before anything else. */
VEMO_API int vemo_initialize(const char* session_file);

/* Message boxes and file dialogs, answered by the host. Without a desktop
 * messages go to the error stream and dialogs are cancelled. */
typedef struct vemo_desktop {
  void* user;
  /* Answers 1 OK, 2 Cancel, 6 Yes, 7 No. flags: buttons | icon, as in
   * 0 OK, 1 OK/Cancel, 3 Yes/No/Cancel, 4 Yes/No; 16 error, 32 question,
   * 48 warning, 64 information. */
  int (*message_box)(void* user, const char* text, int flags, const char* title);
  /* Writes the chosen file into `chosen` (at most `size` bytes with the
   * terminating 0) and answers 1, or answers 0 for Cancel. `save` is 1 for
   * a save dialog, 0 for an open dialog. */
  int (*file_dialog)(void* user, int save, const char* title, const char* file_name, char* chosen, size_t size);
} vemo_desktop;
/* Installs (a copy of) `desktop`; NULL goes back to the error stream. */
VEMO_API int vemo_set_desktop(const vemo_desktop* desktop);

/* Objects. */
VEMO_API int vemo_create(const char* prog_id, vemo_object** object);
VEMO_API int vemo_get(vemo_object* object, const char* property, vemo_value* result);
VEMO_API int vemo_set(vemo_object* object, const char* property, const vemo_value* value);
/* `result` may be NULL when the answer is not wanted. */
VEMO_API int vemo_call(vemo_object* object, const char* method, const vemo_value* arguments, size_t count,
                       vemo_value* result);
/* Another handle to the same object. */
VEMO_API vemo_object* vemo_retain(vemo_object* object);
VEMO_API void vemo_release(vemo_object* object);

/* Host values the actions take. A dictionary has Add(key, value),
 * Item(key), Exists(key) and Count; a vector Add(value), Item(index from 1)
 * and Count; a record set RecordCount, EOF, MoveFirst, MoveNext and
 * Fields(name). */
VEMO_API int vemo_dictionary_new(vemo_object** dictionary);
VEMO_API int vemo_vector_new(vemo_object** vector);
/* A record set of `row_count` rows of `field_count` fields; `cells` holds
 * the rows one after the other. */
VEMO_API int vemo_recordset_new(const char* const* fields, size_t field_count, const vemo_value* cells,
                                size_t row_count, vemo_object** recordset);
/* JSON text as host values: objects become dictionaries, arrays vectors. */
VEMO_API int vemo_parse_json(const char* json, vemo_value* result);

/* Since the symbol version VEMOPRINT_1.1 (the three functions below).
 * The whole of the file at `path` as a VEMO_BYTES value the host owns (a
 * workbook an action saved, the picture an engine made). */
VEMO_API int vemo_read_file(const char* path, vemo_value* bytes);
/* Writes the byte array `bytes` to a new private file whose name ends in
 * `extension` (".xlsx", ".jpg", ...), and answers its path as a VEMO_TEXT
 * value: a template or a picture the host holds in memory, handed to a
 * member that takes a file. The file is removed by vemo_remove_file() or,
 * at the latest, when the process ends normally. */
VEMO_API int vemo_write_temp_file(const vemo_bytes* bytes, const char* extension, vemo_value* path);
/* Removes a file vemo_write_temp_file() made (no other). */
VEMO_API int vemo_remove_file(const char* path);

/* The message of this thread's last failure ("" when the last call
 * succeeded); valid until the next call on this thread. */
VEMO_API const char* vemo_last_error(void);
/* Frees what a value handed back owns and makes it empty. */
VEMO_API void vemo_value_clear(vemo_value* value);

/* Value makers for arguments (they copy nothing: texts stay the host's
 * until the call returns). */
static inline vemo_value vemo_empty(void) {
  vemo_value v;
  v.type = VEMO_EMPTY;
  v.reserved = 0;
  v.as.integer = 0; /* the widest member: the whole union is zero */
  return v;
}
static inline vemo_value vemo_bool(int b) { vemo_value v = vemo_empty(); v.type = VEMO_BOOLEAN; v.as.boolean = b; return v; }
static inline vemo_value vemo_int(int64_t i) { vemo_value v = vemo_empty(); v.type = VEMO_INTEGER; v.as.integer = i; return v; }
static inline vemo_value vemo_double(double d) { vemo_value v = vemo_empty(); v.type = VEMO_DOUBLE; v.as.number = d; return v; }
static inline vemo_value vemo_date(double serial) { vemo_value v = vemo_empty(); v.type = VEMO_DATE; v.as.number = serial; return v; }
static inline vemo_value vemo_text(const char* t) { vemo_value v = vemo_empty(); v.type = VEMO_TEXT; v.as.text = t; return v; }
static inline vemo_value vemo_obj(vemo_object* o) { vemo_value v = vemo_empty(); v.type = VEMO_OBJECT; v.as.object = o; return v; }
static inline vemo_value vemo_byte_array(const vemo_bytes* b) { vemo_value v = vemo_empty(); v.type = VEMO_BYTES; v.as.bytes = b; return v; }

#ifdef __cplusplus
}
#endif
#endif

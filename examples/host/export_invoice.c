/* A host in C: exports a sales invoice through the component's
 * ExportAction, binding late by member name, and with --print prints it on
 * the default printer too.
 *
 *   export_invoice REQUEST.json OUT.xlsx [--print]
 *
 * The request file holds the bill as the host would hand it over: DataSrv,
 * Data and TableInfo (docs/request-file.md). Build against an installed
 * component with
 *   cc export_invoice.c $(pkg-config --cflags --libs vemoprint)
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vemoprint/vemoprint.h>

static const char* g_out;

/* Questions ("open the file now?") are answered No; messages are shown. */
static int MessageBox(void* user, const char* text, int flags, const char* title) {
  (void)user;
  fprintf(stderr, "[%s] %s\n", title, text);
  int buttons = flags & 0x0F;
  return buttons == 4 || buttons == 3 ? 7 : 1;
}

/* The save dialog is answered with the file named on the command line. */
static int FileDialog(void* user, int save, const char* title, const char* name, char* chosen, size_t size) {
  (void)user;
  (void)title;
  (void)name;
  if (!save || strlen(g_out) + 1 > size) return 0;
  strcpy(chosen, g_out);
  return 1;
}

static int Fail(const char* what, int status) {
  fprintf(stderr, "export_invoice: %s failed (%d): %s\n", what, status, vemo_last_error());
  return 1;
}

static char* ReadFile(const char* path) {
  FILE* f = fopen(path, "rb");
  if (!f) return NULL;
  fseek(f, 0, SEEK_END);
  long size = ftell(f);
  rewind(f);
  char* text = malloc((size_t)size + 1);
  if (text && fread(text, 1, (size_t)size, f) != (size_t)size) {
    free(text);
    text = NULL;
  }
  if (text) text[size] = 0;
  fclose(f);
  return text;
}

/* request.Item(key) set as the action's property `key`. */
static int HandOver(vemo_object* request, vemo_object* action, const char* key) {
  vemo_value name = vemo_text(key), value;
  int status = vemo_call(request, "Item", &name, 1, &value);
  if (status == VEMO_OK) status = vemo_set(action, key, &value);
  vemo_value_clear(&value);
  return status;
}

static int PrintBill(vemo_object* action, int exportFile, int* answered) {
  vemo_value args[2] = {vemo_bool(0), vemo_bool(exportFile)}, result;
  int status = vemo_call(action, "PrintBill", args, 2, &result);
  *answered = status == VEMO_OK && result.type == VEMO_BOOLEAN && result.as.boolean;
  vemo_value_clear(&result);
  return status;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: export_invoice REQUEST.json OUT.xlsx [--print]\n");
    return 2;
  }
  g_out = argv[2];
  if (vemo_api_version() != VEMOPRINT_API_VERSION) {
    fprintf(stderr, "export_invoice: the library speaks version %d, this host %d\n", vemo_api_version(),
            VEMOPRINT_API_VERSION);
    return 1;
  }
  int status = vemo_initialize(NULL);
  if (status != VEMO_OK) return Fail("vemo_initialize", status);
  vemo_desktop desktop = {NULL, MessageBox, FileDialog};
  vemo_set_desktop(&desktop);

  char* json = ReadFile(argv[1]);
  if (!json) {
    fprintf(stderr, "export_invoice: cannot read %s\n", argv[1]);
    return 1;
  }
  vemo_value request;
  status = vemo_parse_json(json, &request);
  free(json);
  if (status != VEMO_OK) return Fail("reading the request", status);

  vemo_object* action = NULL;
  status = vemo_create("VemoPrintExport.ExportAction", &action);
  if (status != VEMO_OK) return Fail("creating VemoPrintExport.ExportAction", status);
  const char* keys[] = {"DataSrv", "Data", "TableInfo"};
  for (int i = 0; i < 3; ++i)
    if ((status = HandOver(request.as.object, action, keys[i])) != VEMO_OK) return Fail(keys[i], status);
  vemo_value_clear(&request); /* the action keeps what it was given */

  int exported = 0;
  if ((status = PrintBill(action, 1, &exported)) != VEMO_OK) return Fail("PrintBill", status);
  if (!exported) {
    fprintf(stderr, "export_invoice: the export answered False (see the message above)\n");
    return 1;
  }
  /* The workbook as bytes, as a host that stores or mails it would take it. */
  vemo_value workbook;
  if ((status = vemo_read_file(g_out, &workbook)) != VEMO_OK) return Fail("reading the workbook back", status);
  printf("exported the invoice to %s (%zu bytes)\n", g_out, workbook.as.bytes->size);
  vemo_value_clear(&workbook);
  if (argc > 3 && strcmp(argv[3], "--print") == 0) {
    int printed = 0;
    if ((status = PrintBill(action, 0, &printed)) != VEMO_OK) return Fail("PrintBill", status);
    printf(printed ? "printed the invoice on the default printer\n" : "the print answered False\n");
    if (!printed) return 1;
  }
  vemo_release(action);
  return 0;
}

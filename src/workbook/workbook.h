// A spreadsheet workbook read from an .xlsx package: its sheets in order, the
// shared strings, the styles and every other part of the package. Parts the
// engine does not change are written back exactly as they were read.
#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/shared_strings.h"
#include "workbook/sheet.h"
#include "workbook/styles.h"

namespace vemo::wb {

struct Relationship {
  std::string id;
  std::string type;    // full relationship type URI
  std::string target;  // part name inside the package (no leading '/'), or the external target
  bool external = false;
};

struct XlsSource;
struct LineInsertion;
struct ZipLimits;
class ZipPackage;

struct DefinedName {
  std::string name;
  int localSheetId = -1;  // index of the sheet the name belongs to, -1 for a workbook name
  std::string text;       // formula text without '='
  bool hidden = false;
  XmlElement* element = nullptr;  // the element in the workbook part, for edits
};

class Workbook {
 public:
  // Opens an .xlsx (or .xlsm/.xltx) or .xls file, told apart by their
  // contents; throws WorkbookError saying what is wrong.
  static std::unique_ptr<Workbook> Open(const std::filesystem::path& path);
  // The same within the given bounds on the package's entries and sizes.
  static std::unique_ptr<Workbook> Open(const std::filesystem::path& path, const ZipLimits& limits);
  ~Workbook();
  enum class Format { Xlsx, Xls };
  // Saves as .xls when `format` says so or, when not given, when the path
  // ends in .xls; as .xlsx otherwise.
  void Save(const std::filesystem::path& path, std::optional<Format> format = std::nullopt);
  // The format the workbook was read from.
  Format sourceFormat() const { return xlsSource_ ? Format::Xls : Format::Xlsx; }
  // What the sheet would print that the model does not hold, one phrase
  // each ("a picture", "conditional formats"): content of an
  // .xls file kept only as the records it came as. Whoever draws pages from
  // the model must not draw such a sheet. Empty for a workbook read from .xlsx.
  std::vector<std::string> PrintedContentNotInModel(const Sheet& sheet) const;

  std::size_t SheetCount() const { return sheets_.size(); }
  Sheet& GetSheet(std::size_t index) { return *sheets_.at(index); }
  const Sheet& GetSheet(std::size_t index) const { return *sheets_.at(index); }
  Sheet* FindSheet(std::string_view name);
  std::optional<std::size_t> SheetIndex(const Sheet& sheet) const;
  // Removes the sheet, its parts and names, and turns references to it into #REF!.
  void DeleteSheet(std::size_t index);

  bool date1904() const { return date1904_; }
  SharedStrings& sharedStrings() { return sharedStrings_; }
  const SharedStrings& sharedStrings() const { return sharedStrings_; }
  Styles& styles() { return styles_; }
  const Styles& styles() const { return styles_; }

  std::vector<DefinedName> DefinedNames() const;
  void SetDefinedNameText(const DefinedName& name, std::string_view text);

  // Package access for the editing code (the parts as XML: model/xml_access.h).
  bool HasPart(std::string_view name) const;
  std::vector<Relationship> RelationshipsOf(const std::string& partName);
  static std::string RelsPartName(const std::string& partName);
  void RemovePart(const std::string& name);
  // Raw bytes of a part that is not handled as XML (legacy VML drawings).
  std::string ReadRawPart(const std::string& name) const;
  void PutRawPart(const std::string& name, std::string bytes);
  // All parts present now, in package order.
  std::vector<std::string> PartNames() const;
  const std::string& workbookPart() const { return workbookPart_; }

 private:
  friend class XlsxReader;
  friend class XlsxWriter;
  friend class SheetDeleter;
  friend class XlsReader;
  friend class XlsWriter;
  friend std::set<std::string> XlsOnlyContent(const Workbook& book);
  friend void ShiftKeptXlsRecords(Workbook& book, const Sheet& sheet, const LineInsertion& insertion);
  friend XmlDocument& ReadXmlPart(Workbook& book, const std::string& name);
  friend XmlDocument& EditXmlPart(Workbook& book, const std::string& name);

  Workbook();

  struct XmlPart {
    std::unique_ptr<XmlDocument> doc;
    bool edited = false;
  };

  std::unique_ptr<ZipPackage> package_;  // never null
  std::map<std::string, XmlPart> xmlParts_;
  std::unique_ptr<XmlDocument> stylesDoc_;
  std::vector<std::string> removedParts_;
  std::vector<std::unique_ptr<Sheet>> sheets_;
  SharedStrings sharedStrings_;
  Styles styles_;
  std::string workbookPart_;
  std::string sharedStringsPart_;
  std::string stylesPart_;
  bool date1904_ = false;
  bool structureChanged_ = false;  // sheets removed: the calculation chain no longer fits
  // What an .xls file carried beyond the model, for saving it as .xls again;
  // null for a workbook read from .xlsx.
  std::shared_ptr<XlsSource> xlsSource_;
};

}  // namespace vemo::wb

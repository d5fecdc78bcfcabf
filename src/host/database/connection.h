// The one interface every database user of the host talks to: a connection,
// statements with "?" parameters and typed binds, rows read by column, and
// write transactions. SQLite (the embedded file, sqlite_connection.h) and
// the server (pg_connection.h) implement it; which one a session uses is
// decided by its connection string (database_address.h) and by nothing else.
// Every failure raises HostError with the database's own message.
//
// The SQL our own code writes is the part both databases share: "?"
// parameters, INSERT ... ON CONFLICT, COALESCE, no database-specific
// functions. Template text goes through the dialect translator instead.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "foundation/host_error.h"
#include "foundation/variant.h"

namespace vemo::host {

enum class DatabaseKind { Embedded, Server };

// What a backend does for one prepared statement.
class StatementBackend {
 public:
  virtual ~StatementBackend() = default;
  virtual void BindInteger(int index, std::int64_t value) = 0;
  virtual void BindReal(int index, double value) = 0;
  virtual void BindText(int index, std::string_view text) = 0;
  virtual void BindBytes(int index, const Bytes& blob) = 0;
  virtual void BindNull(int index) = 0;
  virtual bool Step() = 0;
  virtual void Reset() = 0;
  virtual int ColumnCount() const = 0;
  virtual std::string ColumnName(int column) const = 0;
  virtual std::int64_t Int(int column) const = 0;
  virtual double Real(int column) const = 0;
  virtual std::string Text(int column) const = 0;
  virtual Bytes Blob(int column) const = 0;
  virtual bool IsNull(int column) const = 0;
  virtual Variant Value(int column) const = 0;
};

class Statement {
 public:
  explicit Statement(std::unique_ptr<StatementBackend> backend) : backend_(std::move(backend)) {}

  // Binds are 1-based. Binding returns *this for chaining.
  Statement& Bind(int index, std::int64_t value) { backend_->BindInteger(index, value); return *this; }
  Statement& Bind(int index, int value) { return Bind(index, static_cast<std::int64_t>(value)); }
  Statement& Bind(int index, double value) { backend_->BindReal(index, value); return *this; }
  Statement& Bind(int index, std::string_view text) { backend_->BindText(index, text); return *this; }
  Statement& Bind(int index, const char* text) { return Bind(index, std::string_view(text)); }
  // A zero-length array stays a zero-length value, never NULL.
  Statement& Bind(int index, const Bytes& blob) { backend_->BindBytes(index, blob); return *this; }
  Statement& BindNull(int index) { backend_->BindNull(index); return *this; }
  // Binds a host value by its type (Empty and Null as NULL).
  Statement& BindValue(int index, const Variant& value);

  // True while a row is available; false when done.
  bool Step() { return backend_->Step(); }
  // Runs a statement that answers no rows.
  void Run() { while (Step()) {} }
  // Ready to run again, with no values bound.
  void Reset() { backend_->Reset(); }

  int ColumnCount() const { return backend_->ColumnCount(); }
  std::string ColumnName(int column) const { return backend_->ColumnName(column); }
  std::int64_t Int(int column) const { return backend_->Int(column); }
  double Real(int column) const { return backend_->Real(column); }
  std::string Text(int column) const { return backend_->Text(column); }
  Bytes Blob(int column) const { return backend_->Blob(column); }
  bool IsNull(int column) const { return backend_->IsNull(column); }
  // The column as a host value: integers -> Integer (Double beyond 32 bits),
  // reals -> Double, texts -> String, byte arrays -> Bytes, NULL -> Null.
  Variant Value(int column) const { return backend_->Value(column); }

 private:
  std::unique_ptr<StatementBackend> backend_;
};

class Connection {
 public:
  virtual ~Connection() = default;
  Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  virtual DatabaseKind Kind() const = 0;
  // The database in words, for messages ("the company database <this>").
  virtual std::string Describe() const = 0;
  // Runs statements that answer no rows (several, separated by ";").
  virtual void Exec(std::string_view sql) = 0;
  virtual Statement Prepare(std::string_view sql) = 0;
  virtual bool HasTable(std::string_view name) = 0;
  // Rows the last INSERT, UPDATE or DELETE changed.
  virtual int Changes() const = 0;

  // A write transaction. Writers of one database run one at a time, so a
  // read-then-write step (the next id, the single selected row) never sees
  // another writer's half.
  virtual void BeginWrite() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() noexcept = 0;
};

// BeginWrite on construction; Rollback on destruction unless Commit() ran.
// Every write of a component runs inside one of these, so a process killed
// half-way leaves the database as it was before the call.
class Transaction {
 public:
  explicit Transaction(Connection& connection) : connection_(connection) { connection_.BeginWrite(); }
  ~Transaction() {
    if (!done_) connection_.Rollback();
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit() {
    connection_.Commit();
    done_ = true;
  }

 private:
  Connection& connection_;
  bool done_ = false;
};

}  // namespace vemo::host

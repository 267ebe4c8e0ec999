// Byte streams: the abstract stream, a stream in memory and a stream over a file. Pictures load
// and save themselves through them. Toolkit layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/SysUtils.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;

  // Reads up to `count` bytes; returns how many arrived.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes up to `count` bytes; returns how many were taken.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position; returns the new one.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }
  int64_t Size();

  // Like Read and Write, but raise EReadError/EWriteError when fewer bytes moved.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // The rest of the stream from the current position.
  std::vector<uint8_t> ReadRest();
};

// A stream that raises this when it cannot supply or take the bytes asked for.
class EStreamReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  const std::vector<uint8_t>& Bytes() const { return FBytes; }
  void Clear();

 private:
  std::vector<uint8_t> FBytes;
  int64_t FPosition = 0;
};

enum TFileMode { fmOpenRead, fmCreate };

// A file opened for reading or created for writing, named the Windows way ("Z:\\home\\x.bmp"
// or a relative name). Raises EFOpenError when that fails.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& fileName, TFileMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

 private:
  void* FHandle = nullptr;  // the platform's file handle
};

// Real GPIB boards through linux-gpib, loaded when the program starts using the bus, so that
// the program builds and runs where the library is missing. Every entry point is resolved up
// front; when the library or one of them is missing, the operator is told once what is missing
// and every call fails with ENEB.
#pragma once

#include <string>
#include <vector>

#include "instruments/bus/Ni488.h"

namespace brimtal {
class Host;
}

namespace brimtal::bus {

class LinuxGpibBus final : public Ni488 {
 public:
  static std::vector<std::string> DefaultLibraryPaths();

  // The first library of the list that loads is used; board 0.
  explicit LinuxGpibBus(Host& host, std::vector<std::string> libraryPaths = DefaultLibraryPaths());
  ~LinuxGpibBus() override;
  LinuxGpibBus(const LinuxGpibBus&) = delete;
  LinuxGpibBus& operator=(const LinuxGpibBus&) = delete;

  // Empty when the library is usable; otherwise what is missing.
  const std::string& LoadProblem() const { return problem_; }

  Status SendIFC() override;
  Status FindLstn(const std::vector<Address>& padList, std::vector<Address>& results,
                  int limit) override;
  Status SetRWLS(const std::vector<Address>& addressList) override;
  Status EnableLocal(const std::vector<Address>& addressList) override;
  Status Send(Address address, std::string_view data, SendEnd end) override;
  Status Receive(Address address, std::string& data, std::size_t count, ReadEnd end) override;
  Status ibtmo(Timeout timeout) override;
  std::string Description() const override;
  bool IsSimulated() const override { return false; }

 private:
  // The entry points, with the library's own argument types.
  struct Api {
    void (*SendIFC)(int);
    void (*FindLstn)(int, const Address*, Address*, int);
    void (*SetRWLS)(int, const Address*);
    void (*EnableLocal)(int, const Address*);
    void (*Send)(int, Address, const void*, long, int);
    void (*Receive)(int, Address, void*, long, int);
    int (*ibtmo)(int, int);
    int (*ThreadIbsta)();
    int (*ThreadIberr)();
    int (*ThreadIbcnt)();
  };
  void Load(const std::vector<std::string>& libraryPaths);
  bool Usable();
  Status LastStatus() const;

  Host& host_;
  void* handle_ = nullptr;
  Api api_{};
  std::string library_;
  std::string problem_;
  bool told_ = false;
};

}  // namespace brimtal::bus

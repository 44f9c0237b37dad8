// Descriptor ownership for the platform layer.
#pragma once

namespace zk::platform {

// Owns one descriptor and closes it when destroyed.
class TFd {
  public:
    TFd() = default;
    explicit TFd(int Fd) : FFd(Fd) {}
    ~TFd();
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    TFd(TFd&& Other) noexcept : FFd(Other.Release()) {}
    int Get() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    // Gives up ownership and returns the descriptor.
    int Release();

  private:
    int FFd = -1;
};

}  // namespace zk::platform

// A machine that joins an online series: it says hello to the host, takes the start (the
// host's settings, seed, fireworks and the seats), sends its parts of the frames to the host
// and takes everyone else's from it, and sends the host the state hashes of its final frames.
#pragma once
#include "net/session.h"

class Joiner : public Session {
  public:
    // With this machine's players, over a transport connecting to the host.
    Joiner(std::unique_ptr<Transport> transport, const GameIdentity& identity, int players);

    bool lobby() override;
    int present() const override { return started_ ? settings_.players : players_; }

  private:
    void handle(const NetEvent& event, Rollback& rollback) override;
    void sendparts(Rollback& rollback) override;
    void sendhashes(const Rollback& rollback) override;
    void tellover(const Over& over) override;
    bool talksto(int r) const override { return r == 0; }
    bool relays() const override { return false; }
    // The host decides who went silent and tells the others; a joiner gives it a second more
    // before it counts the host itself as gone, so a slow third machine is named rightly.
    long long silence() const override { return SILENCE_MS + 1000; }
    int linkof(int) const override { return 0; }

    void handlestart(const std::vector<uint8_t>& bytes);
};

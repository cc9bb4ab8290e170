// A machine that joins an online series: it says hello to the host, takes the start (the
// host's settings, seed, fireworks and the seats), sends its parts of the frames to the host
// and takes everyone else's from it, and sends the host the state hashes of its final frames.
#pragma once
#include "net/session.h"

class Joiner : public Session {
  public:
    // With this machine's players, over a transport connecting to the host; with the token of
    // a seat this machine had in the series there, to take it back.
    Joiner(std::unique_ptr<Transport> transport, const GameIdentity& identity, int players,
           uint64_t token = 0);

    bool lobby() override;
    void begingame() override;
    // What this machine shows to take its seat back, once the start came.
    uint64_t token() const { return token_; }
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
    void handleresume(const std::vector<uint8_t>& bytes);

    uint64_t token_ = 0;
    bool comingback_ = false; // the start said this machine takes its seat back
    uint32_t resumegame_ = 0; // and the game it comes back to, once the host said
};

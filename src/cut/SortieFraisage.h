#pragma once
// The milling output file: lines ended by CR LF, written under a temporary name in
// the same folder and renamed over the final name only when the load completes, so a
// failed load never leaves a partial file that looks finished.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace parvel {

class SortieFraisage {
  public:
    // Creates the temporary file; raises ErreurParvel when it cannot be created.
    explicit SortieFraisage(std::string chemin);
    ~SortieFraisage(); // an unfinished output is closed and removed
    SortieFraisage(const SortieFraisage&) = delete;
    SortieFraisage& operator=(const SortieFraisage&) = delete;

    void EcritLigne(std::string_view ligne);
    // Flushes, closes and gives the file its final name.
    void Termine();

    const std::string& Chemin() const { return chemin_; }

  private:
    struct FermeFichier {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    std::string chemin_, temporaire_;
    std::unique_ptr<std::FILE, FermeFichier> fichier_;
};

// Replaces `destination` by `source` in one step (the platform's atomic rename).
bool RemplaceFichier(const std::string& source, const std::string& destination);

} // namespace parvel

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The milling output file: lines ended by CR LF, written under a temporary name of its
// own in the same folder and renamed over the final name only when the load completes,
// so a failed load never leaves a partial file that looks finished, and two programs
// writing the same output each leave a whole file.
#include <memory>
#include <string>
#include <string_view>

namespace parvel {

class EcritureAtomique;

class SortieFraisage {
  public:
    // Creates the temporary file; raises ErreurParvel (role "sortie de fraisage", this
    // path) when it cannot be created or the path is not a regular file.
    explicit SortieFraisage(std::string chemin);
    ~SortieFraisage(); // an unfinished output is removed
    SortieFraisage(const SortieFraisage&) = delete;
    SortieFraisage& operator=(const SortieFraisage&) = delete;

    void EcritLigne(std::string_view ligne);
    // Flushes the file to the disk and gives it its final name.
    void Termine();

    const std::string& Chemin() const { return chemin_; }

  private:
    std::string chemin_;
    std::unique_ptr<EcritureAtomique> ecriture_;
};

} // namespace parvel

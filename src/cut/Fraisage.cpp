// Placeholder until the milling writer lands: milling mode off is the only path.
#include "Principale.h"
#include "cut/SortieFraisage.h"

namespace parvel {
void Principale::OuvreSortieFraisage() {}
void Principale::EtapeFraisage() {}
void Principale::FinFraisage() {}
void Principale::FermeSortieFraisage() noexcept {
    sortieFraisage_.reset();
}
void Principale::EcritLigneFraisage(std::string_view) {}
void Principale::BougeFraise() {}
} // namespace parvel

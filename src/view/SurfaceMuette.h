#pragma once
// A drawing area that keeps its mapping and draws nothing, for a load pass that only
// needs the report (the headless tool, the benchmark).
#include "view/Surface.h"

namespace parvel {

class SurfaceMuette : public SurfaceDessin {
  public:
    float Largeur() const override { return 7212; }
    float Hauteur() const override { return 5055; }
    void DefinitTaille(float, float) override {}
    Mapping LitMapping() const override { return mapping_; }
    void DefinitScaleLeft(float v) override { mapping_.ScaleLeft = v; }
    void DefinitScaleTop(float v) override { mapping_.ScaleTop = v; }
    void DefinitScaleWidth(float v) override { mapping_.ScaleWidth = v; }
    void DefinitScaleHeight(float v) override { mapping_.ScaleHeight = v; }
    void Efface() override {}
    void Ligne(double, double, double, double, int) override {}
    void Point(double, double, int) override {}
    void Cercle(double, double, double, int) override {}
    void DefinitPosition(double, double) override {}
    void DefinitCouleurTexte(int) override {}
    void Imprime(std::string_view) override {}
    void DefinitTexteSurvol(std::string) override {}
    Placement LitForme(Forme) const override { return {}; }
    void PlaceForme(Forme, Placement) override {}
    bool FormeVisible(Forme) const override { return false; }
    void MontreForme(Forme, bool) override {}

  private:
    Mapping mapping_{0, 0, 7212, 5055};
};

} // namespace parvel

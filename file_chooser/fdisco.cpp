#include "file_chooser/fdisco.h"

// Placeholder until the chooser lands: cancels every request.
#include "file_chooser/module1.h"

Fdisco::Fdisco(QWidget *owner) : QDialog(owner) {}

void Fdisco::showModal(QWidget *owner)
{
    Fdisco dialog(owner);
    Module1::Opcion[Module1::kResultado] = 0;
}

#include "erp/DemoNames.h"

#include <fmt/format.h>

#include <stdexcept>

#include "erp/DemoRandom.h"

namespace quill::erp {

namespace {

const DemoPack kSack25{"Saco 25 kg", "SC", 25, "PAL", 1000, 1.00};
const DemoPack kSack40{"Saco 40 kg", "SC", 40, "PAL", 1200, 0.99};
const DemoPack kSack50{"Saco 50 kg", "SC", 50, "PAL", 1000, 0.98};
const DemoPack kSack20{"Saco 20 kg", "SC", 20, "PAL", 800, 1.02};
const DemoPack kSack10{"Saco 10 kg", "SC", 10, "PAL", 600, 1.08};
const DemoPack kSack5{"Saco 5 kg", "SC", 5, "PAL", 500, 1.12};
const DemoPack kPack1{"Pacote 1 kg", "SC", 1, "PAL", 480, 1.20};
const DemoPack kSack4{"Saco 4 kg", "SC", 4, "PAL", 480, 1.15};
const DemoPack kBigBag500{"Big Bag 500 kg", "BB", 500, "", 0, 0.97};
const DemoPack kBigBag1000{"Big Bag 1000 kg", "BB", 1000, "", 0, 0.96};
const DemoPack kBulk{"Granel", "", 0, "TON", 1000, 0.94};

const std::vector<const char*> kFirstNames = {
    "António", "Maria", "José",    "Ana",    "Manuel",  "Joaquim", "Fernanda", "Carlos",  "Isabel", "Paulo",
    "Rosa",    "Rui",   "Helena",  "Jorge",  "Teresa",  "Luís",    "Sofia",    "Miguel",  "Patrícia", "Nuno",
    "Carla",   "Pedro", "Cristina", "Vítor", "Joana",   "Francisco", "Marta",  "Ricardo", "Sandra", "Fernando"};
const std::vector<const char*> kSurnames = {
    "Silva",  "Santos", "Ferreira", "Pereira", "Oliveira", "Costa",  "Rodrigues", "Martins", "Jesus",   "Sousa",
    "Fernandes", "Gonçalves", "Gomes", "Lopes", "Marques", "Alves", "Almeida", "Ribeiro", "Pinto",  "Carvalho",
    "Teixeira", "Moreira", "Correia", "Mendes", "Nunes",   "Soares", "Vieira",    "Monteiro", "Cardoso", "Rocha"};
const std::vector<const char*> kTowns = {
    "Coimbra", "Soure",    "Penela",  "Ansião", "Pombal",   "Tomar",   "Ourém",    "Leiria",   "Alcobaça",
    "Caldas da Rainha", "Montemor-o-Novo", "Évora", "Beja", "Santarém", "Almeirim", "Rio Maior", "Torres Vedras",
    "Viseu",   "Tondela",  "Mangualde", "Aveiro", "Águeda",   "Oliveira do Bairro", "Cantanhede", "Mira",
    "Figueira da Foz", "Lousã", "Arganil", "Guarda", "Castelo Branco", "Fundão", "Covilhã", "Braga",
    "Barcelos", "Guimarães", "Vila Real", "Chaves", "Bragança", "Portalegre", "Elvas", "Faro", "Loulé", "Tavira"};
const std::vector<const char*> kPlaces = {
    "Vale Verde", "São Pedro",  "Santa Maria", "Freixo",  "Azinhaga",  "Outeiro", "Ribeira",  "Carvalhal",
    "Alvorge",    "Figueiró",   "Montalvo",    "Boavista", "Pinheiro", "Aldeia Nova", "Serrado", "Cabeço",
    "Monte Alto", "Fonte Santa", "Casal Novo", "Lameiras", "Pereiro",  "Sobral",  "Carrascal", "Quintãs"};
const std::vector<const char*> kStreets = {
    "Rua da Estrada Nacional", "Rua do Comércio", "Rua Principal", "Largo da Igreja", "Rua da Fonte",
    "Zona Industrial",         "Estrada Municipal", "Rua de São João", "Avenida da Liberdade", "Rua das Eiras",
    "Quinta",                  "Rua do Moinho"};

std::string companyPrefixed(DemoRandom& random, const std::string& town) {
  switch (random.between(0, 11)) {
    case 0: return fmt::format("Aviário {}, Lda.", random.pick(kPlaces));
    case 1: return fmt::format("Quinta do {}, Lda.", random.pick(kPlaces));
    case 2: return fmt::format("Herdade {}, S.A.", random.pick(kPlaces));
    case 3: return fmt::format("Cooperativa Agrícola de {}, CRL", town);
    case 4: return fmt::format("Pecuária {}, Lda.", random.pick(kPlaces));
    case 5: return fmt::format("Casa Agrícola {} & Filhos, Lda.", random.pick(kSurnames));
    case 6: return fmt::format("Mercearia {}, Unipessoal Lda.", random.pick(kSurnames));
    case 7: return fmt::format("Supermercado {}, Lda.", random.pick(kPlaces));
    case 8: return fmt::format("Padaria {}, Lda.", random.pick(kPlaces));
    case 9: return fmt::format("Sociedade Agrícola de {}, Lda.", town);
    case 10: return fmt::format("Celeiro de {}, Lda.", town);
    default: {
      std::string first = random.pick(kFirstNames);
      return fmt::format("{} {}, Unipessoal Lda.", first, random.pick(kSurnames));
    }
  }
}

}  // namespace

const std::vector<DemoGroup>& DemoNames::groups() {
  static const std::vector<DemoGroup> all = {
      {"RACAVE", "Rações para Aves", "RAV", 1, 0.38, 0.52, true,
       {"Ração Frango Crescimento", "Ração Frango Engorda", "Ração Poedeiras", "Ração Pintos Arranque",
        "Ração Perus", "Ração Patos", "Ração Codornizes", "Mistura para Pombos"},
       {kSack25, kSack40, kBigBag500, kBulk}},
      {"RACSUI", "Rações para Suínos", "RSU", 1, 0.33, 0.45, true,
       {"Ração Leitões Pré-Arranque", "Ração Porcos Crescimento", "Ração Porcos Acabamento",
        "Ração Porcas Gestação", "Ração Porcas Lactação"},
       {kSack25, kSack40, kBigBag500, kBulk}},
      {"RACBOV", "Rações para Bovinos", "RBO", 1, 0.30, 0.42, true,
       {"Ração Vacas Leiteiras", "Ração Vitelos", "Ração Novilhos Engorda", "Concentrado Bovinos Carne",
        "Suplemento Mineral Bovinos"},
       {kSack25, kSack40, kBigBag1000, kBulk}},
      {"RACOVI", "Rações para Ovinos e Caprinos", "ROV", 1, 0.32, 0.44, true,
       {"Ração Ovelhas", "Ração Cabras Leiteiras", "Ração Borregos", "Ração Cabritos"},
       {kSack25, kSack40, kBigBag500}},
      {"RACCOE", "Rações para Coelhos", "RCO", 1, 0.40, 0.55, true,
       {"Ração Coelhos Engorda", "Ração Coelhas Reprodutoras", "Ração Coelhos Desmame"},
       {kSack25, kSack40, kBigBag500}},
      {"RACEQU", "Rações para Equinos", "REQ", 1, 0.45, 0.70, false,
       {"Ração Cavalos Manutenção", "Ração Cavalos Desporto", "Aveia Esmagada para Equinos"},
       {kSack25, kSack20}},
      {"PETFOO", "Alimentos para Cães e Gatos", "PET", 3, 1.20, 3.50, false,
       {"Ração Cão Adulto", "Ração Cão Júnior", "Ração Cão Sénior", "Ração Gato Adulto", "Ração Gato Esterilizado"},
       {kSack20, kSack10, kSack4}},
      {"CEREAI", "Cereais", "CER", 1, 0.22, 0.32, true,
       {"Milho Grão", "Trigo Forrageiro", "Cevada Dística", "Aveia Grão", "Triticale", "Centeio", "Sorgo"},
       {kSack25, kSack50, kBigBag1000, kBulk}},
      {"FARINH", "Farinhas", "FAR", 1, 0.45, 0.80, true,
       {"Farinha de Trigo Tipo 55", "Farinha de Trigo Tipo 65", "Farinha de Milho", "Farinha de Centeio",
        "Sêmea de Trigo"},
       {kSack25, kSack50, kBigBag1000}},
      {"LEGUMI", "Leguminosas", "LEG", 1, 1.10, 2.40, false,
       {"Feijão Frade", "Grão-de-Bico", "Ervilha Seca", "Fava Seca", "Tremoço"}, {kSack25, kSack5, kPack1}},
      {"ACUCAR", "Açúcar", "ACU", 3, 0.85, 1.20, false, {"Açúcar Branco", "Açúcar Amarelo", "Melaço de Cana"},
       {kSack50, kSack25, kBigBag1000}},
      {"ARROZ", "Arroz", "ARR", 1, 0.95, 1.60, false, {"Arroz Carolino", "Arroz Agulha", "Trinca de Arroz"},
       {kSack25, kSack5, kPack1}},
      {"SEMENT", "Sementes", "SEM", 1, 2.50, 8.00, false,
       {"Semente de Azevém", "Semente de Aveia Forrageira", "Semente de Milho Híbrido", "Semente de Trevo"},
       {kSack25, kSack10, kSack5}},
      {"ADUBOS", "Adubos", "ADU", 1, 0.40, 0.90, true,
       {"Adubo Composto 7-14-14", "Nitrato de Amónio 27%", "Ureia 46%", "Superfosfato 18%",
        "Adubo Orgânico Peletizado"},
       {kSack40, kSack25, kBigBag500, kBulk}},
      {"SAL", "Sal", "SAL", 1, 0.12, 0.30, false, {"Sal Grosso", "Sal Fino", "Sal Mineralizado"},
       {kSack25, kSack50, kBigBag1000}},
      {"SERVIC", "Serviços", "SRV", 3, 0, 0, false, {}, {}},
  };
  return all;
}

const DemoGroup& DemoNames::group(const std::string& code) {
  for (const auto& g : groups())
    if (code == g.code) return g;
  throw std::out_of_range("demo group " + code);
}

const DemoPack& DemoNames::sack25() { return kSack25; }

// Arguments of one call are evaluated in no set order, so every draw is made
// in a statement of its own: the same seed must give the same names with any
// compiler.
std::string DemoNames::personName(DemoRandom& random) {
  std::string first = random.pick(kFirstNames);
  return fmt::format("{} {}", first, random.pick(kSurnames));
}

std::string DemoNames::companyName(DemoRandom& random, const std::string& town) { return companyPrefixed(random, town); }

std::string DemoNames::town(DemoRandom& random) { return random.pick(kTowns); }

std::string DemoNames::street(DemoRandom& random) {
  std::string street = random.pick(kStreets);
  return fmt::format("{}, {}", street, random.between(1, 240));
}

std::string DemoNames::postCode(DemoRandom& random) {
  int area = random.between(1000, 8999);
  return fmt::format("{:04d}-{:03d}", area, random.between(1, 999));
}

std::string DemoNames::taxNumber(DemoRandom& random) {
  int digits[8];
  digits[0] = 5;  // a company
  for (int i = 1; i < 8; ++i) digits[i] = random.between(0, 9);
  int sum = 0;
  for (int i = 0; i < 8; ++i) sum += digits[i] * (9 - i);
  int check = 11 - sum % 11;
  if (check >= 10) check = 0;
  std::string text;
  for (int d : digits) text += static_cast<char>('0' + d);
  text += static_cast<char>('0' + check);
  return text;
}

}  // namespace quill::erp

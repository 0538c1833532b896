-- Quill: the extension's own tables in the company database.
-- Run once on a company database when the extension is installed; running it
-- again changes nothing. U_qor_ComMensais is not here: the commission window
-- creates it itself the first time it is opened.
-- Codes compare without regard to case and to trailing blanks, accented
-- letters included, by the collation QUILL_CI_AS that Quill registers on
-- every connection: run the script through Quill (the plain sqlite3 shell
-- does not know the collation). Dates are "yyyy-mm-dd hh:mm:ss".

-- Scheduled retail prices, one row per article: the three retail prices
-- (without and with VAT) that apply from DATAACTIVACAO, and the six prices as
-- they were before the last change, for documents dated earlier.
CREATE TABLE IF NOT EXISTS U_QOR_PRECOS (
  ARTIGO TEXT COLLATE QUILL_CI_AS NOT NULL,
  DATAACTIVACAO DATETIME,
  PVP1SIVA REAL,
  PVP1CIVA REAL,
  PVP2SIVA REAL,
  PVP2CIVA REAL,
  PVP3SIVA REAL,
  PVP3CIVA REAL,
  DATAACTUALIZACAO DATETIME,
  HPVP1SIVA REAL,
  HPVP1CIVA REAL,
  HPVP2SIVA REAL,
  HPVP2CIVA REAL,
  HPVP3SIVA REAL,
  HPVP3CIVA REAL,
  CONSTRAINT PK_U_QOR_PRECOS PRIMARY KEY (ARTIGO)
);

-- Discount of a client for a product group: a money value per sale unit.
CREATE TABLE IF NOT EXISTS U_QOR_GRUPOSDESCONTO (
  CLIENTE TEXT COLLATE QUILL_CI_AS NOT NULL,
  GRUPO TEXT COLLATE QUILL_CI_AS NOT NULL,
  DESCONTO REAL,
  CONSTRAINT PK_U_QOR_GRUPOSDESCONTO PRIMARY KEY (CLIENTE, GRUPO)
);

-- Commission rate of a seller for a product group, in percent (0 to 100).
CREATE TABLE IF NOT EXISTS U_QOR_COMGRUPOS (
  VENDEDOR TEXT COLLATE QUILL_CI_AS NOT NULL,
  GRUPO TEXT COLLATE QUILL_CI_AS NOT NULL,
  COMISSAO REAL,
  CONSTRAINT PK_U_QOR_COMGRUPOS PRIMARY KEY (VENDEDOR, GRUPO)
);

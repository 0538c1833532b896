-- Quill: the extension's own tables in the company database.
-- Run once on a company database when the extension is installed; running it
-- again changes nothing. U_qor_ComMensais is not here: the commission window
-- creates it itself the first time it is opened.
-- Codes compare without regard to case; dates are "yyyy-mm-dd hh:mm:ss".

-- Scheduled retail prices, one row per article: the three retail prices
-- (without and with VAT) that apply from DATAACTIVACAO, and the six prices as
-- they were before the last change, for documents dated earlier.
CREATE TABLE IF NOT EXISTS U_QOR_PRECOS (
  ARTIGO TEXT COLLATE NOCASE NOT NULL,
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
  CLIENTE TEXT COLLATE NOCASE NOT NULL,
  GRUPO TEXT COLLATE NOCASE NOT NULL,
  DESCONTO REAL,
  CONSTRAINT PK_U_QOR_GRUPOSDESCONTO PRIMARY KEY (CLIENTE, GRUPO)
);

-- Commission rate of a seller for a product group, in percent (0 to 100).
CREATE TABLE IF NOT EXISTS U_QOR_COMGRUPOS (
  VENDEDOR TEXT COLLATE NOCASE NOT NULL,
  GRUPO TEXT COLLATE NOCASE NOT NULL,
  COMISSAO REAL,
  CONSTRAINT PK_U_QOR_COMGRUPOS PRIMARY KEY (VENDEDOR, GRUPO)
);
